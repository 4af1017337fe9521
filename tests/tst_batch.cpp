#include "jobplan.h"
#include "officefixtures.h"
#include "officelocator.h"
#include "officesession.h"

#include <QDirIterator>
#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

// `tarnwick --convert` as scripts run it: the real program, the real office,
// no display, a home of its own.
class BatchTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void sharesTheMemoryCeiling_data();
    void sharesTheMemoryCeiling();
    void folderIntoOutputDir();
    void guardsTheUsersFiles_data();
    void guardsTheUsersFiles();
    void interruptLeavesNothing_data();
    void interruptLeavesNothing();
    void withoutAnOfficeExitsWith3();
    void usage_data();
    void usage();
    void repeatsShareAndResume();

private:
    // Runs the program to its end: standard output, standard error.
    QPair<QByteArray, QString> run(const QStringList& arguments, const QString& workingDir = {},
                                   const QString& logging = {});
    void start(QProcess& program, const QStringList& arguments, const QString& wrapper = {});
    // Nothing of the program's may be left: no office, no pipe socket, no
    // temporary file of an export under `out`.
    void verifyNothingLeft(qint64 pid, const QString& out);

    QTemporaryDir home_;
};

void BatchTest::initTestCase()
{
    QVERIFY(home_.isValid());
}

void BatchTest::sharesTheMemoryCeiling_data()
{
    constexpr std::uint64_t G = std::uint64_t(1) << 30;
    QTest::addColumn<int>("wanted");
    QTest::addColumn<std::uint64_t>("total");
    QTest::addColumn<int>("jobs");
    QTest::addColumn<std::uint64_t>("each");
    QTest::addColumn<bool>("noted");
    QTest::newRow("room for all") << 2 << 6 * G << 2 << 3 * G << false;
    QTest::newRow("fewer") << 4 << 6 * G << 3 << 2 * G << true;
    QTest::newRow("one at least") << 4 << 2 * G << 1 << 2 * G << true;
}

void BatchTest::sharesTheMemoryCeiling()
{
    QFETCH(int, wanted);
    QFETCH(std::uint64_t, total);
    const JobPlan plan = PlanJobs(wanted, total, SmallestOfficeMemoryCeiling);
    QTEST(plan.jobs, "jobs");
    QTEST(plan.memoryCeiling, "each");
    QTEST(!plan.note.isEmpty(), "noted");
}

void BatchTest::start(QProcess& program, const QStringList& arguments, const QString& wrapper)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", home_.path());
    env.insert("XDG_CONFIG_HOME", home_.filePath("config"));
    env.insert("XDG_CACHE_HOME", home_.filePath("cache"));
    // Without a display: the window's start would fail at once.
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    env.remove("QT_QPA_PLATFORM");
    program.setProcessEnvironment(env);
    if (wrapper.isEmpty())
        program.start(TW_PROGRAM, arguments);
    else
        program.start("unshare",
                      QStringList{"-m", "sh", "-c", wrapper, "sh", TW_PROGRAM} + arguments);
    QVERIFY(program.waitForStarted());
}

QPair<QByteArray, QString> BatchTest::run(const QStringList& arguments, const QString& workingDir,
                                          const QString& logging)
{
    QProcess program;
    program.setWorkingDirectory(workingDir);
    if (!logging.isEmpty()) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_LOGGING_RULES", logging);
        program.setProcessEnvironment(env);
    }
    start(program, QStringList{"--convert"} + arguments);
    program.waitForFinished(240000);
    return {program.readAllStandardOutput(), program.readAllStandardError()};
}

void BatchTest::verifyNothingLeft(qint64 pid, const QString& out)
{
    QTRY_VERIFY(fixtures::officeProcessesMentioning(home_.path()).isEmpty());
    const QString sockets = QString("OSL_PIPE_%1_tarnwick_%2_*").arg(::getuid()).arg(pid);
    QCOMPARE(QDir("/tmp").entryList({sockets}, QDir::System | QDir::Hidden), QStringList());
    QDirIterator temporary(out, {"lu*.tmp"}, QDir::Files | QDir::Hidden,
                           QDirIterator::Subdirectories);
    QVERIFY2(!temporary.hasNext(), qPrintable(temporary.next()));
    QVERIFY(!QFileInfo::exists(home_.filePath("config/Velmora")));
}

void BatchTest::folderIntoOutputDir()
{
    const QTemporaryDir work;
    const QString in = work.filePath("in"), out = work.filePath("out");
    QDir().mkpath(in + "/sub");
    const QString sales = fixtures::samplesDir() + "/Sales Report.ods";
    QFile::copy(sales, in + "/Sales Report.ods");
    QFile::copy(TW_SOURCE_DIR "/tests/data/Price List.ots", in + "/sub/Price List.ots");
    fixtures::writeTextFile(in + "/sub/notes.txt", "not a spreadsheet");
    fixtures::writeTruncatedCopy(sales, in + "/damaged.ods");
    {
        OfficeSession session(*LocateOffice(), work.filePath("profiles"));
        fixtures::writePasswordProtectedCopy(session, sales, in + "/locked.ods", "pw");
    }

    QProcess program;
    start(program, {"--convert", "--output-dir", out, "--jobs", "2", in});
    QVERIFY(program.waitForFinished(240000));
    const QString err = program.readAllStandardError();
    QCOMPARE(program.exitCode(), 1);
    const QStringList converted =
        QString(program.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    QCOMPARE(converted.size(), 2);
    QVERIFY(converted.contains(in + "/sub/Price List.ots\t" + out + "/sub/Price List.pdf"));
    QVERIFY(fixtures::pdfPages(out + "/Sales Report.pdf") > 0);
    QVERIFY(fixtures::pdfPages(out + "/sub/Price List.pdf") > 0);
    // One message for each bad file, then the summary.
    const QStringList lines = err.split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 3);
    QCOMPARE(lines.filter(in + "/damaged.ods: The file could not be opened").size(), 1);
    QCOMPARE(lines.filter(in + "/locked.ods: The file could not be opened").size(), 1);
    QVERIFY2(lines.last().startsWith("4 files, 2 converted, 2 failed, "), qPrintable(err));
    verifyNothingLeft(program.processId(), out);
}

void BatchTest::guardsTheUsersFiles_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QStringList>("arguments"); // paths relative to the work folder
    QTest::addColumn<QStringList>("converted"); // the PDFs that appear
    QTest::addColumn<QString>("says");          // on standard error; "" for nothing
    QTest::addColumn<QStringList>("replaced");  // what was there before and may change
    const QString overSource = "would be written over the source itself";
    const QString notOpened = "could not be opened";
    const QStringList none;
    QTest::newRow("PDF as its own source")
        << "pdf" << QStringList{"report.pdf"} << none << overSource << none;

    QTest::newRow("PDF through a link")
        << "pdf link" << QStringList{"alias.pdf"} << none << overSource << none;
    QTest::newRow("text named .ods")
        << "text" << QStringList{"notes.ods"} << none << notOpened << none;
    QTest::newRow("picture named .ods")
        << "picture" << QStringList{"picture.ods"} << none << notOpened << none;
    QTest::newRow("letter") << "letter" << QStringList{"Letter.odt"} << none << notOpened << none;
    QTest::newRow("xlsx converts")
        << "xlsx" << QStringList{"Price List.xlsx"} << QStringList{"Price List.pdf"} << "" << none;
    QTest::newRow("PDF a hard link to the source")
        << "hard link" << QStringList{"a.ods"} << none << overSource << none;
    QTest::newRow("PDF a symbolic link to the source")
        << "symbolic link" << QStringList{"a.ods"} << none << overSource << none;
    QTest::newRow("PDF a link to another file")
        << "link elsewhere" << QStringList{"a.ods"} << QStringList{"a.pdf"} << ""
        << QStringList{"a.pdf"};
    QTest::newRow("one file through a linked folder")
        << "linked folder" << QStringList{"--jobs", "2", "dir/x.ods", "link/x.ods"}
        << QStringList{"dir/x.pdf"} << "it is the same file as" << none;
    QTest::newRow("name not UTF-8 in a folder")
        << "not utf-8" << QStringList{"odd"} << QStringList{"odd/good.pdf"} << "UTF-8" << none;
}

void BatchTest::guardsTheUsersFiles()
{
    QFETCH(QString, setup);
    QFETCH(QStringList, arguments);
    QFETCH(QStringList, converted);
    QFETCH(QString, says);
    QFETCH(QStringList, replaced);
    const QTemporaryDir work;
    const QDir dir(work.path());
    const QString sample = fixtures::samplesDir() + "/Budget 2026.ods";
    const auto link = [&](const QString& target, const QString& name) {
        QVERIFY(QFile::link(target, dir.filePath(name)));
    };
    if (setup.startsWith("pdf"))
        fixtures::writeMinimalPdf(dir.filePath("report.pdf"));
    if (setup == "pdf link")
        link("report.pdf", "alias.pdf");
    if (setup == "text")
        fixtures::writeTextFile(dir.filePath("notes.ods"), "plain text\n");
    if (setup == "picture") {
        QImage picture(64, 64, QImage::Format_RGB32);
        picture.fill(Qt::darkCyan);
        QVERIFY(picture.save(dir.filePath("picture.ods"), "PNG"));
    }
    if (setup == "letter" || setup == "xlsx")
        QVERIFY(QFile::copy(TW_SOURCE_DIR "/tests/data/" + arguments.first(),
                            dir.filePath(arguments.first())));
    if (setup.contains("link") && !setup.startsWith("pdf") && setup != "linked folder")
        QVERIFY(QFile::copy(sample, dir.filePath("a.ods")));
    if (setup == "hard link")
        QCOMPARE(::link(QFile::encodeName(dir.filePath("a.ods")).constData(),
                        QFile::encodeName(dir.filePath("a.pdf")).constData()),
                 0);
    if (setup == "symbolic link")
        link("a.ods", "a.pdf");
    if (setup == "link elsewhere") {
        fixtures::writeTextFile(dir.filePath("keep.txt"), "the user's own\n");
        link("keep.txt", "a.pdf");
    }
    if (setup == "linked folder") {
        QVERIFY(dir.mkdir("dir"));
        QVERIFY(QFile::copy(sample, dir.filePath("dir/x.ods")));
        link("dir", "link");
    }
    if (setup == "not utf-8") {
        QVERIFY(dir.mkdir("odd"));
        QVERIFY(QFile::copy(sample, dir.filePath("odd/good.ods")));
        QFile copy(sample);
        QVERIFY(copy.open(QIODevice::ReadOnly));
        const QByteArray odd = QFile::encodeName(dir.filePath("odd/")) + "\xff\xfe.ods";
        const int fd = ::open(odd.constData(), O_WRONLY | O_CREAT | O_EXCL, 0644);
        QVERIFY(fd >= 0);
        const QByteArray content = copy.readAll();
        QCOMPARE(::write(fd, content.constData(), content.size()), content.size());
        ::close(fd);
    }
    const auto before = fixtures::snapshot(work.path());

    QProcess program;
    program.setWorkingDirectory(work.path());
    start(program, QStringList{"--convert"} + arguments);
    QVERIFY(program.waitForFinished(120000));
    const QString err = program.readAllStandardError();
    const QStringList out =
        QString(program.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    QCOMPARE(program.exitCode(), says.isEmpty() ? 0 : 1);
    QVERIFY2(says.isEmpty() ? err.count('\n') == 1 : err.contains(says), qPrintable(err));
    QCOMPARE(out.size(), converted.size());
    for (const QString& pdf : converted)
        QVERIFY2(fixtures::pdfPages(dir.filePath(pdf)) > 0, qPrintable(pdf));

    // Nothing that was there has changed but the PDFs written, and nothing
    // else has appeared.
    const auto after = fixtures::snapshot(work.path());
    for (auto entry = before.cbegin(); entry != before.cend(); ++entry)
        if (!replaced.contains(entry.key()))
            QVERIFY2(after.value(entry.key()) == entry.value(), qPrintable(entry.key()));
    QStringList appeared;
    for (auto entry = after.cbegin(); entry != after.cend(); ++entry)
        if (!before.contains(entry.key()))
            appeared << entry.key();
    for (const QString& pdf : replaced)
        appeared << pdf;
    appeared.sort();
    converted.sort();
    QCOMPARE(appeared, converted);
    // A name that Qt cannot give back would stay in the temporary folder.
    if (setup == "not utf-8")
        ::unlink((QFile::encodeName(dir.filePath("odd/")) + "\xff\xfe.ods").constData());
}

void BatchTest::interruptLeavesNothing_data()
{
    QTest::addColumn<int>("signal");
    QTest::newRow("Ctrl+C") << SIGINT;
    QTest::newRow("SIGTERM") << SIGTERM;
}

void BatchTest::interruptLeavesNothing()
{
    QFETCH(int, signal);
    const QTemporaryDir work;
    const QString sheet = work.filePath("long.fods"), out = work.filePath("out");
    fixtures::writeLongSheet(sheet, 150000);
    QProcess program;
    start(program, {"--convert", "--output-dir", out, sheet});
    // The office has begun writing the PDF.
    QTRY_VERIFY_WITH_TIMEOUT(!QDir(out).entryList({"lu*.tmp"}, QDir::Files).isEmpty(), 180000);
    ::kill(static_cast<pid_t>(program.processId()), signal);
    QVERIFY(program.waitForFinished(1000));
    QCOMPARE(program.exitCode(), 128 + signal);
    QVERIFY(program.readAllStandardError().contains("interrupted: 1 files, 0 converted"));
    QVERIFY(!QFileInfo::exists(out + "/long.pdf"));
    verifyNothingLeft(program.processId(), out);
}

void BatchTest::withoutAnOfficeExitsWith3()
{
    if (::geteuid() != 0)
        QSKIP("hiding the office needs a mount namespace: run as root");
    const QTemporaryDir empty;
    QProcess program;
    start(program, {"--convert", fixtures::samplesDir()},
          QString(R"(mount --bind "%1" /usr/lib/libreoffice && exec "$@")").arg(empty.path()));
    QVERIFY(program.waitForFinished(30000));
    QCOMPARE(program.exitCode(), 3);
    QVERIFY(program.readAllStandardError().contains("no office suite is installed"));
}

void BatchTest::usage_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("says");
    QTest::newRow("no path") << QStringList{"--convert"} << 2 << "needs at least one file";
    QTest::newRow("no jobs") << QStringList{"--convert", "--jobs", "0", "x.ods"} << 2
                             << "--jobs needs a whole number";
    QTest::newRow("unknown") << QStringList{"--convert", "--bogus", "x.ods"} << 2
                             << "unknown option --bogus";
    QTest::newRow("help wins") << QStringList{"--convert", "--help"} << 0 << "--jobs N";
}

void BatchTest::usage()
{
    QFETCH(QStringList, arguments);
    QProcess program;
    start(program, arguments);
    QVERIFY(program.waitForFinished(30000));
    QTEST(program.exitCode(), "exitCode");
    QFETCH(QString, says);
    QVERIFY(
        QString(program.readAllStandardError() + program.readAllStandardOutput()).contains(says));
}

namespace {
// The report's objects: each source's status.
QMap<QString, QString> statuses(const QByteArray& jsonLines)
{
    QMap<QString, QString> status;
    for (const QByteArray& line : jsonLines.split('\n')) {
        if (line.isEmpty())
            continue;
        QJsonParseError error{};
        const QJsonObject object = QJsonDocument::fromJson(line, &error).object();
        if (error.error != QJsonParseError::NoError || status.contains(object["source"].toString()))
            return {}; // not JSON, or a source named twice
        status.insert(object["source"].toString(), object["status"].toString());
    }
    return status;
}

QStringList sourcesOfRecords(const QByteArray& out, char end)
{
    QStringList sources;
    const QList<QByteArray> fields = out.split(end);
    for (qsizetype i = 0; i + 1 < fields.size(); i += end == '\0' ? 2 : 1)
        sources << QFile::decodeName(end == '\0' ? fields[i] : fields[i].split('\t').first());
    sources.sort();
    return sources;
}
} // namespace

void BatchTest::repeatsShareAndResume()
{
    const QTemporaryDir work;
    const QDir dir(work.path());
    QVERIFY(dir.mkpath("tree/sub"));
    const QString sample = fixtures::samplesDir() + "/Budget 2026.ods";
    QStringList all;
    for (const char* name : {"tree/a\ttab.ods", "tree/sub/b\nline.ods", "tree/c.ods",
                             "tree/sub/d.ods", "tree/e.ods"}) {
        QVERIFY(QFile::copy(sample, dir.filePath(name)));
        all << dir.filePath(name);
    }
    all.sort();
    const auto reported = [](const QMap<QString, QString>& status, const QString& only) {
        QStringList sources;
        for (auto it = status.cbegin(); it != status.cend(); ++it)
            if (it.value() == only)
                sources << it.key();
        return sources;
    };

    // Every source once in the report, whatever its name holds.
    auto [out, err] = run({"--report", "-", "--jobs", "1", "tree"}, work.path());
    QCOMPARE(reported(statuses(out), "converted"), all);

    // Nothing changed: no office starts.
    const QString officeLog = "tarnwick.office.info=true";
    std::tie(out, err) = run({"--update", "--report", "-", "tree"}, work.path(), officeLog);
    QCOMPARE(reported(statuses(out), "up-to-date"), all);
    QVERIFY2(!err.contains("office started"), qPrintable(err));
    QVERIFY2(err.endsWith("5 files, 0 converted, 5 up to date, 0 failed, 0.0 seconds\n"),
             qPrintable(err));

    // What find -print0 lists, through standard input: of those, one source
    // newer than its PDF is the only one converted.
    QFile touched(dir.filePath("tree/sub/b\nline.ods"));
    QVERIFY(touched.open(QIODevice::ReadWrite));
    QVERIFY(touched.setFileTime(QDateTime::currentDateTime().addSecs(5),
                                QFileDevice::FileModificationTime));
    touched.close();
    QProcess find;
    find.setWorkingDirectory(work.path());
    QProcess listed;
    find.setStandardOutputProcess(&listed);
    listed.setWorkingDirectory(work.path());
    find.start("find", {"tree", "-name", "*.ods", "-print0"});
    start(listed, {"--convert", "--update", "--null", "--files-from", "-", "--report",
                   dir.filePath("listed.jsonl")});
    QVERIFY(listed.waitForFinished(240000) && find.waitForFinished());
    QCOMPARE(listed.exitCode(), 0);
    QCOMPARE(sourcesOfRecords(listed.readAllStandardOutput(), '\0'),
             QStringList{touched.fileName()});
    QFile listedReport(dir.filePath("listed.jsonl"));
    QVERIFY(listedReport.open(QIODevice::ReadOnly));
    QCOMPARE(statuses(listedReport.readAll()).keys(), all);

    // Two shares: apart, and together the whole.
    QStringList shares;
    for (const char* share : {"1/2", "2/2"}) {
        std::tie(out, err) =
            run({"--update", "--shard", share, "--report", "-", "tree"}, work.path());
        const QStringList mine = statuses(out).keys();
        QVERIFY(!mine.isEmpty());
        shares << mine;
    }
    shares.sort();
    QCOMPARE(shares, all);

    // Killed outright in the middle of an export: no PDF is cut short, and
    // the next run makes exactly the ones that are missing.
    const QString first = dir.filePath("first.ods"), last = dir.filePath("last.ods");
    const QString longSheet = dir.filePath("long.fods");
    QVERIFY(QFile::copy(sample, first) && QFile::copy(sample, last));
    fixtures::writeLongSheet(longSheet, 20000);
    QProcess killed;
    start(killed, {"--convert", "--jobs", "1", "--output-dir", dir.filePath("resumed"), first,
                   longSheet, last});
    // The first PDF is there, and the long sheet's export has begun.
    QTRY_VERIFY_WITH_TIMEOUT(
        QFileInfo::exists(dir.filePath("resumed/first.pdf")) &&
            !QDir(dir.filePath("resumed")).entryList({"lu*.tmp"}, QDir::Files).isEmpty(),
        180000);
    ::kill(pid_t(killed.processId()), SIGKILL);
    QVERIFY(killed.waitForFinished());
    QVERIFY(!QFileInfo::exists(dir.filePath("resumed/long.pdf")));
    QVERIFY(!QFileInfo::exists(dir.filePath("resumed/last.pdf")));
    std::tie(out, err) = run({"--update", "--jobs", "1", "--output-dir", dir.filePath("resumed"),
                              first, longSheet, last});
    QCOMPARE(sourcesOfRecords(out, '\n'), (QStringList{last, longSheet}));
    for (const char* pdf : {"first.pdf", "long.pdf", "last.pdf"})
        QVERIFY2(fixtures::pdfPages(dir.filePath(QString("resumed/") + pdf)) > 0, pdf);
}

QTEST_GUILESS_MAIN(BatchTest)
#include "tst_batch.moc"
