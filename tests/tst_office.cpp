#include "brokenpipes.h"
#include "fileconversion.h"
#include "officeerror.h"
#include "officefixtures.h"
#include "officelocator.h"
#include "officesession.h"
#include "pdfexportargs.h"
#include "pdfprofilesettings.h"
#include "unooffice.h"
#include "unostring.h"

#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <csignal>
#include <memory>
#include <sched.h>
#include <sys/mount.h>
#include <thread>

using namespace std::chrono_literals;

namespace {
// Short enough for a test, long enough for a working office on a busy
// machine.
constexpr auto NoProgressLimit = 5s;
constexpr std::uint64_t MemoryCeiling = std::uint64_t(2) << 30;
const QString Restarted = QStringLiteral("The office suite stopped responding and was restarted");
} // namespace

// Real conversions through a real office, read back with pdftotext.
class OfficeTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void firstFileFindsTheOfficeRunning();
    void samplesConvert_data();
    void samplesConvert();
    void oddNamesConvert_data();
    void oddNamesConvert();
    void escapeLookalikeDoesNotOverwriteItsTwin();
    void badFilesRaiseAtTheLoad_data();
    void badFilesRaiseAtTheLoad();
    void unwrittenPdfSaysWhy_data();
    void unwrittenPdfSaysWhy();
    void pdfFollowsTheOptionTable();
    void killedOfficeCostsOnlyOneFile();
    void profileHoldsTheOptionTable();
    void hungOfficeCostsOneFile_data();
    void hungOfficeCostsOneFile();
    void enormousSheetFailsAtTheLoad();

private:
    QString copySample(const QString& sample, const QString& name);
    QString copyIn(const QString& file, const QString& name);
    QString pdfFor(const QString& source) const;

    QTemporaryDir profiles_;
    QTemporaryDir work_;
    QString systemTemp_;
    std::unique_ptr<OfficeSession> session_;
    std::unique_ptr<UnoOffice> office_;
};

void OfficeTest::initTestCase()
{
    // The offices must keep their temporary files out of the system's folder.
    systemTemp_ = work_.filePath("system-tmp");
    QVERIFY(QDir().mkpath(systemTemp_));
    qputenv("TMPDIR", QFile::encodeName(systemTemp_));
    const auto installation = LocateOffice();
    QVERIFY2(installation, "no office installation found");
    session_ = std::make_unique<OfficeSession>(
        *installation, profiles_.path(), WatchLimits{.noProgress = NoProgressLimit}, MemoryCeiling);
    session_->setProfileSetup(WritePdfExportSettings);
    session_->startInBackground();
    office_ = std::make_unique<UnoOffice>(*session_);
}

void OfficeTest::cleanupTestCase()
{
    const pid_t pid = session_->officePid();
    office_.reset();
    session_.reset();
    QVERIFY(fixtures::waitForProcessGone(pid, 10000));
    QVERIFY(fixtures::officeProcessesMentioning(profiles_.path()).isEmpty());
    // Nothing is left of the offices' temporary files, the killed one's
    // included.
    QCOMPARE(QDir(systemTemp_).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{});
    QVERIFY(!QFileInfo::exists(profiles_.filePath("profile-0/tmp")));
    // Nor of the pipe sockets of the offices, the killed ones' included.
    QCOMPARE(
        QDir("/tmp").entryList(
            {QStringLiteral("OSL_PIPE_*_tarnwick_%1_*").arg(QCoreApplication::applicationPid())},
            QDir::System | QDir::Files),
        QStringList{});
}

void OfficeTest::firstFileFindsTheOfficeRunning()
{
    // The office started at the first launch found no profile: it set one up
    // and exited, and the next one was started at once, with no file asking.
    const OfficeProcess& process = session_->process();
    QTRY_VERIFY_WITH_TIMEOUT(!process.startedOnNewProfile() &&
                                 QFile::exists(OfficePipeSocketPath(process.pipeName())),
                             60000);
    const pid_t office = session_->officePid();
    const QString source = copySample("Budget 2026.ods", "first.ods");
    ConvertFile(*office_, source, pdfFor(source));
    QCOMPARE(session_->officePid(), office);
    QCOMPARE(session_->launches(), 1);
}

QString OfficeTest::copySample(const QString& sample, const QString& name)
{
    return copyIn(fixtures::samplesDir() + '/' + sample, name);
}

QString OfficeTest::copyIn(const QString& file, const QString& name)
{
    const QString target = work_.filePath(name);
    QFile::remove(target);
    if (!QFile::copy(file, target))
        qFatal("cannot copy %s", qPrintable(file));
    return target;
}

QString OfficeTest::pdfFor(const QString& source) const
{
    return source.left(source.lastIndexOf('.')) + ".pdf";
}

void OfficeTest::samplesConvert_data()
{
    // Paths below the source tree: the samples, and one file of each other
    // format that the open-file dialog offers.
    QTest::addColumn<QString>("sample");
    QTest::addColumn<QStringList>("phrases");
    QTest::newRow("budget") << "Samples/Budget 2026.ods"
                            << QStringList{"Tarnwick sample budget", "Groceries", "1685"};
    QTest::newRow("sales") << "Samples/Sales Report.ods"
                           << QStringList{"Tarnwick sample sales", "Northfield", "5620"};
    QTest::newRow("workbook") << "Samples/Quarterly Workbook.ods"
                              << QStringList{"Tarnwick sample workbook", "Second quarter", "3220"};
    QTest::newRow(".ots template") << "tests/data/Price List.ots"
                                   << QStringList{"Tarnwick template price list", "Chair", "123"};
    QTest::newRow(".sxc legacy") << "tests/data/Inventory 2003.sxc"
                                 << QStringList{"Tarnwick legacy inventory", "205", "Open orders",
                                                "Page 2"};
    QTest::newRow(".stc legacy template")
        << "tests/data/Invoice Form.stc"
        << QStringList{"Tarnwick legacy invoice template", "Amount due", "660"};
}

void OfficeTest::samplesConvert()
{
    QFETCH(QString, sample);
    QFETCH(QStringList, phrases);
    const QString source = copyIn(TW_SOURCE_DIR "/" + sample, QFileInfo(sample).fileName());
    ConvertFile(*office_, source, pdfFor(source));
    const QString text = fixtures::pdfText(pdfFor(source));
    for (const QString& phrase : phrases)
        QVERIFY2(text.contains(phrase), qPrintable(phrase + " missing in: " + text));
}

void OfficeTest::oddNamesConvert_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("spaces") << "my  budget copy.ods";
    QTest::newRow("number sign") << "a#b.ods";
    QTest::newRow("percent") << "100%.ods";
    QTest::newRow("question mark") << "why?.ods";
    QTest::newRow("non-ascii") << "Übersicht März ørken.ods";
    QTest::newRow("backslash") << R"(back\slash.ods)";
    QTest::newRow("two dots") << "Q1.final.ods";
    QTest::newRow("no extension") << "plainname";
}

void OfficeTest::oddNamesConvert()
{
    QFETCH(QString, name);
    const QString source = copySample("Budget 2026.ods", name);
    const QString pdf = name.contains('.') ? pdfFor(source) : source + ".pdf";
    ConvertFile(*office_, source, pdf);
    QVERIFY(fixtures::pdfText(pdf).contains("Tarnwick sample budget"));
}

void OfficeTest::escapeLookalikeDoesNotOverwriteItsTwin()
{
    // Unencoded, the office would read "x%41" as "xA".
    const QString twin = copySample("Sales Report.ods", "xA.ods");
    const QString tricky = copySample("Budget 2026.ods", "x%41.ods");
    ConvertFile(*office_, tricky, pdfFor(tricky));
    QVERIFY(fixtures::pdfText(pdfFor(tricky)).contains("Tarnwick sample budget"));
    QVERIFY(!QFileInfo::exists(pdfFor(twin)));
}

void OfficeTest::badFilesRaiseAtTheLoad_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("truncated") << "truncated";
    QTest::newRow("password-protected") << "password";
    QTest::newRow("text file") << "text";
    QTest::newRow("missing file") << "missing";
    QTest::newRow("empty file") << "empty";
}

void OfficeTest::badFilesRaiseAtTheLoad()
{
    QFETCH(QString, kind);
    const QString source = work_.filePath("bad-" + kind + ".ods");
    const QString sample = fixtures::samplesDir() + "/Budget 2026.ods";
    if (kind == "truncated")
        fixtures::writeTruncatedCopy(sample, source);
    else if (kind == "password")
        fixtures::writePasswordProtectedCopy(*session_, sample, source, "secret");
    else if (kind == "text" || kind == "empty")
        fixtures::writeTextFile(source, kind == "text" ? "This is not a spreadsheet.\n" : "");

    FileConversion file(*office_);
    file.createServiceManager();
    file.createDesktop();
    try {
        file.load(source);
        file.close();
        QFAIL("a bad file must not load");
    } catch (const OfficeError& e) {
        QVERIFY2(e.description().contains(source), qPrintable(e.description()));
    }
    // The later steps fail with their own clear errors, and nothing crashes.
    file.createDispatchHelper();
    QVERIFY_THROWS_EXCEPTION(OfficeError, file.getController());
    QVERIFY_THROWS_EXCEPTION(OfficeError, file.getFrame());
    QVERIFY_THROWS_EXCEPTION(OfficeError, file.dispatch(pdfFor(source)));
    QVERIFY_THROWS_EXCEPTION(OfficeError, file.close());
    QVERIFY(!QFileInfo::exists(pdfFor(source)));

    // The office is still good for the next file.
    const QString good = copySample("Sales Report.ods", "after-" + kind + ".ods");
    ConvertFile(*office_, good, pdfFor(good));
    QVERIFY(fixtures::pdfText(pdfFor(good)).contains("Tarnwick sample sales"));
}

void OfficeTest::unwrittenPdfSaysWhy_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("why");
    // The office makes missing folders on its own; below a file it cannot.
    QTest::newRow("missing folder") << "missing"
                                    << "";
    QTest::newRow("read-only folder") << "read-only"
                                      << ". The output folder is not writable.";
    QTest::newRow("full disk") << "full"
                               << ". The disk is full.";
}

void OfficeTest::unwrittenPdfSaysWhy()
{
    QFETCH(QString, folder);
    QFETCH(QString, why);
    const QString source = copySample("Budget 2026.ods", "nowhere.ods");
    QString out = work_.filePath(folder);
    if (folder == "missing") {
        fixtures::writeTextFile(out, "a file, not a folder");
        out += "/folder";
    } else {
        // Permissions do not stop root: a small file system of our own does.
        if (::geteuid() != 0)
            QSKIP("needs root, for a mount in the test's own mount namespace");
        QVERIFY(QDir().mkpath(out));
        const bool full = folder == "full";
        QCOMPARE(
            ::mount("tmpfs", QFile::encodeName(out), "tmpfs", full ? 0 : MS_RDONLY, "size=256k"),
            0);
        if (full)
            fixtures::writeTextFile(out + "/filler", QByteArray(1 << 20, 'x'));
    }
    const QString pdf = out + "/nowhere.pdf";
    QString error;
    try {
        ConvertFile(*office_, source, pdf);
    } catch (const OfficeError& e) {
        error = e.description();
    }
    if (folder != "missing")
        ::umount2(QFile::encodeName(out), MNT_DETACH);
    QCOMPARE(error, "The PDF file was not written: " + pdf + why);
}

void OfficeTest::pdfFollowsTheOptionTable()
{
    // The office's own defaults would shrink the picture to 300 ppi and
    // write the link relative to the PDF.
    const QString dir = work_.filePath("table");
    QVERIFY(QDir().mkpath(dir + "/in"));
    const QString source = dir + "/in/picture.fods";
    fixtures::writePictureAndLinkSheet(source, "../other/target.ods");
    const QString pdf = dir + "/in/picture.pdf";
    ConvertFile(*office_, source, pdf);

    const QStringList images = fixtures::pdfImagesList(pdf).split('\n', Qt::SkipEmptyParts);
    QVERIFY2(images.size() == 3, qPrintable(images.join('\n')));
    const QStringList image = images[2].simplified().split(' ');
    QCOMPARE(image[3], QString("1200"));  // width
    QCOMPARE(image[12], QString("1200")); // x-ppi
    QFile file(pdf);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    // The office writes the link in the form of the URL it loaded: three
    // slashes, as any viewer reads a local file.
    const QRegularExpression absoluteLink("/URI\\(file://" +
                                          QRegularExpression::escape(dir + "/other/target.ods)"));
    QVERIFY(absoluteLink.match(QString::fromLatin1(bytes)).hasMatch());
    QVERIFY(!bytes.contains("/Encrypt"));
}

void OfficeTest::killedOfficeCostsOnlyOneFile()
{
    const QString first = copySample("Budget 2026.ods", "before-kill.ods");
    FileConversion file(*office_);
    file.createServiceManager();
    file.createDesktop();
    file.load(first);
    file.createDispatchHelper();
    const pid_t office = session_->officePid();
    const int launches = session_->launches();
    QCOMPARE(::kill(office, SIGKILL), 0);
    // Reaped at once, not left a zombie until the next file needs an office.
    QTRY_VERIFY_WITH_TIMEOUT(!fixtures::inProcessTable(office), 1000);
    // The later steps of that file say what happened, not the bridge's text.
    const auto errorOf = [](const std::function<void()>& step) {
        try {
            step();
        } catch (const OfficeError& e) {
            return e.description();
        }
        return QString();
    };
    QCOMPARE(errorOf([&] { file.getController(); }), QString("The office suite stopped working"));
    QCOMPARE(errorOf([&] { file.close(); }), QString("The office suite stopped working"));
    file.releaseAll();

    const QString second = copySample("Sales Report.ods", "after-kill.ods");
    ConvertFile(*office_, second, pdfFor(second));
    QVERIFY(fixtures::pdfText(pdfFor(second)).contains("Tarnwick sample sales"));
    QCOMPARE(session_->launches(), launches + 1);
    QVERIFY(session_->officePid() != office);
}

namespace {
QString valueText(const css::uno::Any& value)
{
    bool flag = false;
    sal_Int32 number = 0;
    rtl::OUString text;
    if (value.getValueTypeClass() == css::uno::TypeClass_BOOLEAN && (value >>= flag))
        return flag ? "true" : "false";
    if (value >>= number)
        return QString::number(number);
    if (value >>= text)
        return '"' + toQString(text) + '"';
    return "?";
}
} // namespace

void OfficeTest::profileHoldsTheOptionTable()
{
    // Read from the office that replaced the killed one.
    const auto settings = OpenPdfExportSettings(session_->context());
    QStringList outside;
    for (const auto& [name, value] : PdfOptionTable()) {
        if (name.isEmpty())
            continue;
        if (!settings->hasByName(name)) {
            outside << toQString(name);
            continue;
        }
        QCOMPARE(toQString(name) + " " + valueText(settings->getByName(name)),
                 toQString(name) + " " + valueText(value));
    }
    // The office keeps no such settings: a dialog's button text, and
    // encryption, which it never stores.
    QCOMPARE(outside, (QStringList{"_OkButtonString", "EncryptFile", "DocumentOpenPassword",
                                   "RestrictPermissions", "PermissionPassword"}));
}

void OfficeTest::hungOfficeCostsOneFile_data()
{
    QTest::addColumn<QString>("stop"); // when the office stops answering
    QTest::newRow("stopped while it starts") << "starting";
    QTest::newRow("stopped in the export") << "exporting";
    QTest::newRow("working longer than the no-progress limit") << "never";
}

void OfficeTest::hungOfficeCostsOneFile()
{
    QFETCH(QString, stop);
    const QString out = work_.filePath("hung-" + stop);
    QVERIFY(QDir().mkpath(out));
    // A file of the user's with a name like the office's temporary files.
    fixtures::writeTextFile(out + "/lu1old2.tmp", "");
    const QString sheet = work_.filePath("long-" + stop + ".fods");
    fixtures::writeLongSheet(sheet, stop == "never" ? 100000 : 20000);
    if (stop == "starting") {
        const pid_t old = session_->officePid();
        QCOMPARE(::kill(old, SIGKILL), 0);
        QTRY_VERIFY(!session_->process().running());
        session_->startInBackground();
        QTRY_VERIFY(session_->officePid() > 0 && session_->officePid() != old);
        QCOMPARE(::kill(session_->officePid(), SIGSTOP), 0);
    }
    // In the export, the office stops as soon as its temporary file appears.
    std::atomic<bool> finished{false};
    std::thread watcher([&] {
        if (stop != "exporting")
            return;
        const pid_t office = session_->officePid();
        while (!finished) {
            if (!QDir(out).entryList({QStringLiteral("lu%1*.tmp").arg(office)}).isEmpty()) {
                ::kill(office, SIGSTOP);
                return;
            }
            std::this_thread::sleep_for(1ms);
        }
    });
    // The kill shows in the office's log once that is turned on.
    QLoggingCategory::setFilterRules(QStringLiteral("tarnwick.office.info=true"));
    if (stop != "never")
        QTest::ignoreMessage(QtInfoMsg, QRegularExpression("^watchdog: .* killing it$"));
    const int launches = session_->launches();
    QElapsedTimer took;
    took.start();
    QString error;
    try {
        ConvertFile(*office_, sheet, out + "/long.pdf");
    } catch (const OfficeError& e) {
        error = e.description();
    }
    finished = true;
    watcher.join();

    QStringList left{"lu1old2.tmp", "next.pdf"};
    if (stop == "never") {
        QCOMPARE(error, QString());
        QVERIFY2(took.elapsed() > std::chrono::milliseconds(NoProgressLimit).count(),
                 "the export must outlast the no-progress limit");
        QCOMPARE(session_->launches(), launches);
        left << "long.pdf";
    } else {
        QCOMPARE(error, Restarted);
        QCOMPARE(session_->launches(), launches + 1);
    }
    // The next file converts, and the output folder holds no leftover.
    const QString next = copySample("Sales Report.ods", "next-" + stop + ".ods");
    ConvertFile(*office_, next, out + "/next.pdf");
    QVERIFY(fixtures::pdfText(out + "/next.pdf").contains("Tarnwick sample sales"));
    left.sort();
    QCOMPARE(QDir(out).entryList(QDir::Files | QDir::Hidden, QDir::Name), left);
}

void OfficeTest::enormousSheetFailsAtTheLoad()
{
    // Some 10^18 cells: the office grows until the memory ceiling stops it.
    const QString enormous = work_.filePath("enormous.fods");
    fixtures::writeLongSheet(enormous, 999999999, 999999999);
    try {
        ConvertFile(*office_, enormous, pdfFor(enormous));
        QFAIL("a sheet beyond the memory ceiling must not convert");
    } catch (const OfficeError& e) {
        QCOMPARE(e.description(), "The file could not be opened: " + enormous +
                                      ". The office suite ran out of the memory allowed to it "
                                      "(2 GiB).");
    }
    QVERIFY(!QFileInfo::exists(pdfFor(enormous)));
    const QString next = copySample("Sales Report.ods", "after-enormous.ods");
    ConvertFile(*office_, next, pdfFor(next));
    QVERIFY(fixtures::pdfText(pdfFor(next)).contains("Tarnwick sample sales"));
}

int main(int argc, char* argv[])
{
    // Root gets a mount namespace of its own, inherited by the offices, so
    // that the test's small file systems are seen by nobody else.
    if (::geteuid() == 0 && (::unshare(CLONE_NEWNS) != 0 ||
                             ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0))
        qFatal("cannot make a mount namespace");
    // The suite kills offices in the middle of calls: a write to a dead
    // office's pipe must fail, not end the suite.
    IgnoreBrokenPipes();
    QCoreApplication app(argc, argv);
    OfficeTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_office.moc"
