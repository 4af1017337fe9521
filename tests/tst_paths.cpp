#include "apptitle.h"
#include "fakeclock.h"
#include "paths.h"
#include "pause.h"

#include <QDir>
#include <QElapsedTimer>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <sys/stat.h>

class PathsTest : public QObject {
    Q_OBJECT

private slots:
    void fileName_data();
    void fileName();
    void folderPart_data();
    void folderPart();
    void removeExtension_data();
    void removeExtension();
    void normalize_data();
    void normalize();
    void fileSystemTests_data();
    void fileSystemTests();
    void desktopFolder_data();
    void desktopFolder();
    void title_data();
    void title();
    void pauseWaitsAndDeliversEvents();
    void pauseOfZeroReturnsWithoutYielding_data();
    void pauseOfZeroReturnsWithoutYielding();
    void pauseFollowsTheInjectedClock();
};

void PathsTest::fileName_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QChar>("sep");
    QTest::addColumn<QString>("expected");
    QTest::newRow("windows file") << R"(C:\In\Q1.ods)" << QChar('\\') << "Q1.ods";
    QTest::newRow("windows folder") << R"(C:\In\)" << QChar('\\') << "";
    QTest::newRow("unc") << R"(\\srv\share\a.ods)" << QChar('\\') << "a.ods";
    QTest::newRow("bare name") << "report.ods" << QChar('\\') << "report.ods";
    QTest::newRow("empty") << "" << QChar('\\') << "";
    QTest::newRow("slash is ordinary on windows") << "C:/In/a.ods" << QChar('\\') << "C:/In/a.ods";
    QTest::newRow("posix file") << "/home/ann/In/Q1 final.ods" << QChar('/') << "Q1 final.ods";
    QTest::newRow("posix folder") << "/home/ann/" << QChar('/') << "";
    QTest::newRow("backslash is ordinary on posix")
        << R"(/tmp/a\b.ods)" << QChar('/') << R"(a\b.ods)";
}

void PathsTest::fileName()
{
    QFETCH(QString, path);
    QFETCH(QChar, sep);
    QFETCH(QString, expected);
    QCOMPARE(GetFileName(path, sep), expected);
}

void PathsTest::folderPart_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QChar>("sep");
    QTest::addColumn<QString>("expected");
    QTest::newRow("windows file") << R"(C:\In\Q1.ods)" << QChar('\\') << R"(C:\In\)";
    QTest::newRow("windows folder") << R"(C:\In\)" << QChar('\\') << R"(C:\In\)";
    QTest::newRow("drive root") << R"(C:\)" << QChar('\\') << R"(C:\)";
    QTest::newRow("unc") << R"(\\srv\share\a.ods)" << QChar('\\') << R"(\\srv\share\)";
    QTest::newRow("bare name") << "report.ods" << QChar('\\') << "";
    QTest::newRow("empty") << "" << QChar('\\') << "";
    QTest::newRow("posix") << "/home/ann/a.ods" << QChar('/') << "/home/ann/";
    QTest::newRow("posix root") << "/a.ods" << QChar('/') << "/";
}

void PathsTest::folderPart()
{
    QFETCH(QString, path);
    QFETCH(QChar, sep);
    QFETCH(QString, expected);
    QCOMPARE(GetFolderPart(path, sep), expected);
}

void PathsTest::removeExtension_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("plain") << "Q1.ods"
                           << "Q1";
    QTest::newRow("only last extension") << "Q1.final.ods"
                                         << "Q1.final";
    QTest::newRow("a.b.c") << "a.b.c"
                           << "a.b";
    QTest::newRow("leading dot is no extension") << ".ods"
                                                 << ".ods";
    QTest::newRow("trailing dot") << "notes."
                                  << "notes";
    QTest::newRow("no dot") << "README"
                            << "README";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("dot in folder counts") << R"(C:\my.dir\report)"
                                          << R"(C:\my)";
}

void PathsTest::removeExtension()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(RemoveExtension(text), expected);
}

void PathsTest::normalize_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QChar>("sep");
    QTest::addColumn<QString>("expected");
    const QChar bs('\\');
    QTest::newRow("double after drive") << R"(C:\\a)" << bs << R"(C:\a)";
    QTest::newRow("one pass") << R"(C:\a\\b\\\c.ods)" << bs << R"(C:\a\b\\c.ods)";
    QTest::newRow("four become two") << R"(C:\a\\\\b)" << bs << R"(C:\a\\b)";
    QTest::newRow("unc keeps two") << R"(\\srv\share\x)" << bs << R"(\\srv\share\x)";
    QTest::newRow("three leading") << R"(\\\srv\\share\x)" << bs << R"(\\srv\share\x)";
    QTest::newRow("four leading") << R"(\\\\srv\\x)" << bs << R"(\\srv\x)";
    QTest::newRow("single leading becomes two") << R"(\dir\x)" << bs << R"(\\dir\x)";
    QTest::newRow("lone separator") << R"(\)" << bs << R"(\\)";
    QTest::newRow("only separators") << R"(\\\\\)" << bs << R"(\\)";
    QTest::newRow("empty") << "" << bs << "";
    QTest::newRow("posix doubled") << "/home//ann///a.ods" << QChar('/') << "/home/ann//a.ods";
    QTest::newRow("posix folder join") << "/out//Q1.pdf" << QChar('/') << "/out/Q1.pdf";
    QTest::newRow("posix backslash untouched") << R"(/a\\b)" << QChar('/') << R"(/a\\b)";
}

void PathsTest::normalize()
{
    QFETCH(QString, path);
    QFETCH(QChar, sep);
    QFETCH(QString, expected);
    QCOMPARE(NormalizeBackslashes(path, sep), expected);
}

void PathsTest::fileSystemTests_data()
{
    QTest::addColumn<QString>("relative"); // inside a fresh temporary folder
    QTest::addColumn<bool>("exists");
    QTest::addColumn<bool>("folder");
    QTest::newRow("the folder itself") << "" << true << true;
    QTest::newRow("folder with separator") << "sub/" << true << true;
    QTest::newRow("file") << "file.ods" << true << false;
    QTest::newRow("missing") << "missing.ods" << false << false;
    QTest::newRow("below a file") << "file.ods/x" << false << false;
    QTest::newRow("fifo") << "pipe" << true << false;
    QTest::newRow("link to folder") << "link" << true << true;
    QTest::newRow("dangling link") << "dangling" << false << false;
}

void PathsTest::fileSystemTests()
{
    QFETCH(QString, relative);
    QFETCH(bool, exists);
    QFETCH(bool, folder);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir("sub"));
    QFile file(dir.filePath("file.ods"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    QCOMPARE(::mkfifo(QFile::encodeName(dir.filePath("pipe")).constData(), 0600), 0);
    QVERIFY(QFile::link(dir.filePath("sub"), dir.filePath("link")));
    QVERIFY(QFile::link(dir.filePath("gone"), dir.filePath("dangling")));

    const QString path = relative.isEmpty() ? dir.path() : dir.path() + '/' + relative;
    QCOMPARE(PathExists(path), exists);
    QCOMPARE(IsFolder(path), folder);
}

void PathsTest::desktopFolder_data()
{
    QTest::addColumn<bool>("desktopExists");
    QTest::addColumn<QString>("expected"); // below the home folder
    QTest::newRow("desktop") << true << "/Desktop/";
    QTest::newRow("no desktop: the home folder") << false << "/";
}

void PathsTest::desktopFolder()
{
    QFETCH(bool, desktopExists);
    QFETCH(QString, expected);
    QTemporaryDir home;
    if (desktopExists)
        QVERIFY(QDir(home.path()).mkdir("Desktop"));
    const QByteArray oldHome = qgetenv("HOME"), oldConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("HOME", QFile::encodeName(home.path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath("config")));
    const QString desktop = GetDesktopFolder();
    qputenv("HOME", oldHome);
    qputenv("XDG_CONFIG_HOME", oldConfig);
    QCOMPARE(desktop, home.path() + expected);
    QVERIFY(!PathExists(""));
    QVERIFY(!IsFolder(""));
}

void PathsTest::title_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("expected");
    QTest::newRow("product name has no space") << "Tarnwick"
                                               << "Tarnwick";
    QTest::newRow("last word dropped") << "Alpha Beta Gamma"
                                       << "Alpha Beta";
    QTest::newRow("exactly 40 still drops a word") << "Alpha Beta Gamma Delta Epsilon Zeta Eta1"
                                                   << "Alpha Beta Gamma Delta Epsilon Zeta";
    QTest::newRow("45 characters shrink to 40") << "Abcdefgh Abcdefgh Abcdefgh Abcdefgh Abcd Ab"
                                                << "Abcdefgh Abcdefgh Abcdefgh Abcdefgh Abcd";
    QTest::newRow("long words shrink below 40")
        << "Abcdefghijklmno Abcdefghijklmno Abcdefghijklmno Ab"
        << "Abcdefghijklmno Abcdefghijklmno";
}

void PathsTest::title()
{
    QFETCH(QString, name);
    QFETCH(QString, expected);
    QCOMPARE(ShortenApplicationTitle(name), expected);
}

void PathsTest::pauseWaitsAndDeliversEvents()
{
    SystemClock clock;
    int ticks = 0;
    QTimer timer;
    connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start(20);
    bool posted = false;
    QMetaObject::invokeMethod(
        this, [&] { posted = true; }, Qt::QueuedConnection);

    QElapsedTimer elapsed;
    elapsed.start();
    PauseSeconds(0.3, clock);
    QVERIFY(elapsed.elapsed() >= 300);
    QVERIFY(posted);
    QVERIFY(ticks >= 3);
}

void PathsTest::pauseOfZeroReturnsWithoutYielding_data()
{
    QTest::addColumn<double>("seconds");
    QTest::newRow("zero") << 0.0;
    QTest::newRow("negative") << -1.5;
}

void PathsTest::pauseOfZeroReturnsWithoutYielding()
{
    QFETCH(double, seconds);
    SystemClock clock;
    bool posted = false;
    QMetaObject::invokeMethod(
        this, [&] { posted = true; }, Qt::QueuedConnection);
    PauseSeconds(seconds, clock);
    QVERIFY(!posted);
    QCoreApplication::processEvents();
    QVERIFY(posted);
}

void PathsTest::pauseFollowsTheInjectedClock()
{
    // Each reading of the fake clock moves it on by a second, so a pause of
    // one second is over at the second reading, long before a real second.
    FakeClock clock;
    clock.stepMs = 1000;
    QElapsedTimer elapsed;
    elapsed.start();
    PauseSeconds(1.0, clock);
    QVERIFY(elapsed.elapsed() < 900); // a real one-second wait would take longer
    QCOMPARE(clock.ms, 2000);
}

QTEST_MAIN(PathsTest)
#include "tst_paths.moc"
