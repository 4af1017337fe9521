#include "errors.h"
#include "fakedialogs.h"
#include "fileattributes.h"
#include "folderscan.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <grp.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <unistd.h>

// A temporary folder whose closed sub-folders are opened again, and whose
// undecodable folder is removed by its bytes, before it is removed.
class TreeDir : public QTemporaryDir {
public:
    ~TreeDir()
    {
        const QByteArray base = QFile::encodeName(path());
        ::rmdir(base + "/enc\xff\xfe");
        for (const char* name :
             {"/\xff.ods", "/.\xfd.ods", "/.\xfe.ods", "/~\xfe.ods", "/\xfb.txt", "/sub1/\xfc.ods"})
            ::unlink(base + name);
        for (const char* closed : {"/denied1", "/denied2", "/noexec"})
            QFile(path() + closed)
                .setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
};

// The folder scan on real trees. Run as root, the test first becomes an
// ordinary user, so that folders without permission really cannot be listed;
// it keeps root as its saved user for the test of root's view.
class FolderScanTest : public QObject {
    Q_OBJECT

private slots:
    void survivingNames_data();
    void survivingNames();
    void wildcards_data();
    void wildcards();
    void attributes_data();
    void attributes();
    void readOnlyComesFromTheMode_data();
    void readOnlyComesFromTheMode();
    void treeScan_data();
    void treeScan();
    void trailingSeparatorGivesSingleSeparators();
    void scanningTwiceListsTwice();
    void deepTreesAreWalked();

private:
    // Builds the test tree under `root`; names are relative, "/" ends a folder.
    static void build(const QString& root);
    QStringList scan(const QString& folder, const QString& pattern, FakeDialogs& dialogs,
                     QStringList* passedOver = nullptr);
};

void FolderScanTest::survivingNames_data()
{
    // Only the encoding decides: "?" and control characters are legal here.
    // How the others are shown: bytes outside valid characters as \xFF.
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<bool>("survives");
    QTest::addColumn<QString>("shown");
    QTest::newRow("plain") << QByteArray("Reports 2026") << true << "Reports 2026";
    QTest::newRow("letters") << QByteArray("Übersicht ørken") << true << "Übersicht ørken";
    QTest::newRow("question mark") << QByteArray("why?") << true << "why?";
    QTest::newRow("tab") << QByteArray("a\tb") << true << "a\tb";
    QTest::newRow("C1 control") << QByteArray("a\xc2\x85") << true << "a\u0085";
    QTest::newRow("emoji") << QByteArray("Fotos 📷") << true << "Fotos 📷";
    QTest::newRow("not UTF-8") << QByteArray("enc\xff\xfe") << false << "enc\\xFF\\xFE";
    QTest::newRow("valid around invalid") << QByteArray("ø\x80€") << false << "ø\\x80€";
    QTest::newRow("overlong slash") << QByteArray("\xc0\xaf") << false << "\\xC0\\xAF";
    QTest::newRow("cut short") << QByteArray("ab\xe2\x82") << false << "ab\\xE2\\x82";
}

void FolderScanTest::survivingNames()
{
    QFETCH(QByteArray, name);
    QFETCH(bool, survives);
    QFETCH(QString, shown);
    QCOMPARE(SurvivesEncoding(name), survives);
    QCOMPARE(DisplayName(name), shown);
}

void FolderScanTest::wildcards_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("matches");
    QTest::newRow("all") << "*.*"
                         << "README" << true;
    QTest::newRow("extension any case") << "*.ods"
                                        << "Q1.ODS" << true;
    QTest::newRow("longer extension") << "*.ods"
                                      << "a.odsx" << false;
    QTest::newRow("other extension") << "*.ods"
                                     << "a.txt" << false;
    QTest::newRow("one character") << "a?c.txt"
                                   << "abc.txt" << true;
    QTest::newRow("leading dot typed") << "*..ods"
                                       << "a.ods" << false;
    QTest::newRow("star in the middle") << "*.o*s"
                                        << "x.ods" << true;
}

void FolderScanTest::wildcards()
{
    QFETCH(QString, pattern);
    QFETCH(QString, name);
    QFETCH(bool, matches);
    QCOMPARE(WildcardMatch(pattern, name), matches);
}

void FolderScanTest::attributes_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("expected"); // -70 / -76 for the error raised
    QTest::newRow("plain file") << "plain.ods" << 32;
    QTest::newRow("hidden file") << ".hidden.ods" << 34;
    QTest::newRow("hidden read-only file") << ".readonly.ods" << 35;
    QTest::newRow("folder") << "sub1" << 16;
    QTest::newRow("hidden folder") << ".hiddendir" << 18;
    QTest::newRow("link to a file") << "link.ods" << 32 + 1024;
    QTest::newRow("missing") << "missing.ods" << -76;
    QTest::newRow("inside a closed folder") << "denied1/d.ods" << -70;
}

void FolderScanTest::attributes()
{
    QFETCH(QString, path);
    QFETCH(int, expected);
    TreeDir dir;
    build(dir.path());
    try {
        QCOMPARE(FileAttributes(dir.filePath(path)), expected);
    } catch (const TarnwickError& e) {
        QCOMPARE(-e.number(), expected);
    }
}

void FolderScanTest::readOnlyComesFromTheMode_data()
{
    // As root, who may write anything: the write bit of the class that
    // applies (owner, group, others) still makes a hidden file read-only.
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("mine");      // else owned by user 1
    QTest::addColumn<bool>("myGroup");   // else group 1
    QTest::addColumn<int>("attributes"); // 35 is kept by the scan, 34 is not
    QTest::newRow("mine, read-only") << 0444 << true << true << 35;
    QTest::newRow("mine, writable") << 0644 << true << true << 34;
    QTest::newRow("another's, my group may write") << 0464 << false << true << 34;
    QTest::newRow("another's, only its owner may write") << 0644 << false << false << 35;
}

void FolderScanTest::readOnlyComesFromTheMode()
{
    QFETCH(int, mode);
    QFETCH(bool, mine);
    QFETCH(bool, myGroup);
    QFETCH(int, attributes);
    QTemporaryDir dir; // made as the ordinary user, who removes it again
    uid_t real = 0, effective = 0, saved = 0;
    ::getresuid(&real, &effective, &saved);
    if (effective != 0 && saved != 0)
        QSKIP("needs root");
    // Root as a program run by root is, real user included.
    QVERIFY(::setresuid(0, 0, -1) == 0);
    const auto back = qScopeGuard([=] { QVERIFY(::setresuid(real, effective, saved) == 0); });
    const QByteArray file = QFile::encodeName(dir.filePath(".sheet.ods"));
    QVERIFY(::close(::creat(file, 0600)) == 0);
    QVERIFY(::chown(file, mine ? 0 : 1, myGroup ? ::getegid() : 1) == 0);
    QVERIFY(::chmod(file, mode) == 0);

    QCOMPARE(FileAttributes(dir.filePath(".sheet.ods")), attributes);
    FakeDialogs dialogs;
    QCOMPARE(scan(dir.path(), "*.ods", dialogs), attributes & Attribute::ReadOnly
                                                     ? QStringList{dir.filePath(".sheet.ods")}
                                                     : QStringList{});
}

void FolderScanTest::build(const QString& root)
{
    const QStringList entries{
        "plain.ods",         "B.ODS",         "c.txt",         "~lock.ods",
        ".hidden.ods",       "sub1/",         "sub1/x.ods",    "sub1/deeper/",
        "sub1/deeper/y.ods", "sub2/",         "sub2/z.ods",    ".hiddendir/",
        ".hiddendir/h.ods",  "~dir/",         "~dir/t.ods",    "bad\tdir/",
        "bad\tdir/u.ods",    "what?/",        "what?/v.ods",   "why?.ods",
        "denied1/",          "denied1/d.ods", "denied2/",      "denied2/e.ods",
        "ctl\x01name.ods",   "q1.ods",        "Q10.ods",       "Q2.ods",
        "Fotos 📷.ods",       "Fotos 📷/",      "Fotos 📷/p.ods", "noexec/",
        "noexec/n.ods"};
    for (const QString& entry : entries) {
        if (entry.endsWith('/')) {
            QDir().mkpath(root + "/" + entry);
        } else {
            QFile f(root + "/" + entry);
            if (!f.open(QIODevice::WriteOnly))
                qFatal("cannot create %s", qPrintable(entry));
            f.write("x");
        }
    }
    const QByteArray base = QFile::encodeName(root) + "/";
    ::chmod(base + ".readonly.ods", 0600);
    QFile ro(root + "/.readonly.ods");
    ro.open(QIODevice::WriteOnly);
    ro.close();
    ::chmod(base + ".readonly.ods", 0444);
    ::mkfifo(base + "pipe.ods", 0600);
    ::symlink(base + "plain.ods", base + "link.ods");
    ::symlink(base.constData(), base + "sub2/loop"); // back to the top
    ::mkdir(base + "enc\xff\xfe", 0700);             // not valid in UTF-8
    // Names that are not valid UTF-8; the scan's rules still apply to them.
    for (const char* name : {"\xff.ods", ".\xfe.ods", "~\xfe.ods", "\xfb.txt", "sub1/\xfc.ods"})
        ::close(::open(base + name, O_CREAT | O_WRONLY, 0600));
    ::close(::open(base + ".\xfd.ods", O_CREAT | O_WRONLY, 0444));
    ::chmod(base + "noexec", 0400); // listed, but nothing in it can be opened
    QFile(root + "/denied1").setPermissions({});
    QFile(root + "/denied2").setPermissions({});
}

QStringList FolderScanTest::scan(const QString& folder, const QString& pattern,
                                 FakeDialogs& dialogs, QStringList* passedOver)
{
    QStringList rows;
    int yields = 0;
    FolderScan scan(
        dialogs, [&](const QString& p) { rows << p; }, [&] { ++yields; });
    scan.AddFolderTree(folder, pattern);
    if (yields == 0)
        qWarning("the scan never yielded");
    if (passedOver)
        for (const PassedOver& passed : scan.passedOver())
            *passedOver << passed.path;
    return rows;
}

void FolderScanTest::treeScan_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QStringList>("expected"); // relative, grouped by level
    // Not valid UTF-8, as shown: the folders as they are walked, then the
    // files folder by folder; hidden writable ones and "~" are left out.
    QTest::addColumn<QStringList>("passedOver");
    // Each folder in name order, the levels one after the other.
    const QStringList everyFile{".readonly.ods",    "B.ODS",         "c.txt",
                                "ctl\x01name.ods",  "Fotos 📷.ods",   "link.ods",
                                "plain.ods",        "q1.ods",        "Q2.ods",
                                "Q10.ods",          "why?.ods",      ".hiddendir/h.ods",
                                "bad\tdir/u.ods",   "Fotos 📷/p.ods", "sub1/x.ods",
                                "sub2/z.ods",       "what?/v.ods",   "~dir/t.ods",
                                "sub1/deeper/y.ods"};
    QStringList ods = everyFile;
    ods.removeAll("c.txt");
    const QStringList lostOds{"enc\\xFF\\xFE/", ".\\xFD.ods", "\\xFF.ods", "sub1/\\xFC.ods"};
    QStringList lost = lostOds;
    lost.insert(2, "\\xFB.txt");
    QTest::newRow("every file") << "*.*" << everyFile << lost;
    QTest::newRow("ods in any case") << "*.ods" << ods << lostOds;
    QTest::newRow("nothing matches") << "*.xyz" << QStringList{} << lostOds.mid(0, 1);
}

void FolderScanTest::treeScan()
{
    QFETCH(QString, pattern);
    QFETCH(QStringList, expected);
    QFETCH(QStringList, passedOver);
    TreeDir dir;
    build(dir.path());
    FakeDialogs dialogs;
    QStringList lost;
    const QStringList rows = scan(dir.path(), pattern, dialogs, &lost);
    QVERIFY(dialogs.shown.isEmpty()); // closed folders are dropped silently

    const auto inTree = [&dir](const QStringList& relative) {
        QStringList paths;
        for (const QString& item : relative)
            paths << dir.path() + "/" + item;
        return paths;
    };
    QCOMPARE(rows, inTree(expected));
    QCOMPARE(lost, inTree(passedOver));
}

void FolderScanTest::trailingSeparatorGivesSingleSeparators()
{
    TreeDir dir;
    build(dir.path());
    FakeDialogs dialogs;
    const QStringList rows = scan(dir.path() + "/", "*.ods", dialogs);
    QVERIFY(!rows.isEmpty());
    for (const QString& row : rows)
        QVERIFY2(!row.contains("//"), qPrintable(row));
}

void FolderScanTest::scanningTwiceListsTwice()
{
    TreeDir dir;
    build(dir.path());
    FakeDialogs dialogs;
    const QStringList once = scan(dir.path(), "*.ods", dialogs);
    QStringList rows;
    FolderScan twice(
        dialogs, [&](const QString& p) { rows << p; }, [] {});
    twice.AddFolderTree(dir.path(), "*.ods");
    twice.AddFolderTree(dir.path(), "*.ods");
    QCOMPARE(rows, once + once);
}

void FolderScanTest::deepTreesAreWalked()
{
    // Eight levels of 40-character names: far beyond 260 characters, well
    // within this platform's limit.
    QTemporaryDir dir;
    QString path = dir.path();
    QStringList expected;
    for (char level = '1'; level <= '8'; ++level) {
        path += "/" + QString(40, QChar(level));
        QVERIFY(QDir().mkpath(path));
        QFile file(path + "/level.ods");
        QVERIFY(file.open(QIODevice::WriteOnly));
        expected << file.fileName();
    }
    FakeDialogs dialogs;
    QCOMPARE(scan(dir.path(), "*.ods", dialogs), expected);
}

int main(int argc, char* argv[])
{
    if (::geteuid() == 0) {
        // nobody: folders without permission must stay closed to the test.
        // Its temporary folders go where nobody may write.
        qputenv("TMPDIR", "/tmp");
        if (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 ||
            ::setresuid(65534, 65534, 0) != 0)
            qFatal("cannot drop root privileges");
    }
    QApplication app(argc, argv);
    FolderScanTest test;
    const int failed = QTest::qExec(&test, argc, argv);
    // Root again (the saved user) as the test ends: LeakSanitizer looks at
    // the process then, which a process between two users may not do.
    if (::setresuid(0, 0, 0) == 0)
        ::prctl(PR_SET_DUMPABLE, 1);
    return failed;
}

#include "tst_folderscan.moc"
