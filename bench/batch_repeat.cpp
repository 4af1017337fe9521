// What large and repeated `tarnwick --convert` runs cost:
//   (a) small corpus sheets with one office, against the office's own
//       `soffice --headless --convert-to pdf` once for all of them (target:
//       1.0 or less), and the time from the last PDF to the exit (target:
//       100 ms or less);
//   (b) `--update` over files whose PDFs are all up to date (target: 1 s or
//       less, and no office started), beside `find` listing the same tree;
//   (c) a run killed with SIGKILL half-way, then `--update`: how many files
//       each run converted, and whether every PDF is whole.
// Medians of alternating runs; every side starts its office in the time
// measured, on a profile that exists.
//
//   batch_repeat [corpus folder] [--files N] [--repeats N] [--up-to-date N]
#include "benchsupport.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>

namespace {

constexpr int SelectLimitMs = 10000;
constexpr int RunLimitMs = 600000;

QStringList sofficeArgs(const QString& work, const QString& out)
{
    return {"-env:UserInstallation=file://" + work + "/soffice-profile",
            "--headless",
            "--convert-to",
            "pdf",
            "--outdir",
            out};
}

QString pdfIn(const QString& folder, const QString& file)
{
    return folder + '/' + QFileInfo(file).completeBaseName() + ".pdf";
}

// One run of ours: its wall time and the time from its last PDF to its exit.
struct OurRun {
    double ms = -1;
    double lastToExitMs = -1;
    int converted = 0;
};
OurRun tarnwick(const QStringList& args, const QString& work, int killAfter = 0);

// The smallest spreadsheets of the corpus that soffice converts within
// SelectLimitMs each and that we convert too: cheap to open, so the cost per
// file is what shows.
QStringList smallSheets(const QString& corpus, const QString& work, int wanted)
{
    QStringList theirs;
    const QString out = work + "/select";
    QDir().mkpath(out);
    for (const QFileInfo& info :
         QDir(corpus).entryInfoList({"*.ods"}, QDir::Files, QDir::Size | QDir::Reversed)) {
        if (theirs.size() == wanted * 2)
            break;
        const QString pdf = pdfIn(out, info.filePath());
        if (QFileInfo::exists(pdf))
            continue; // a name taken already
        const CommandResult r =
            runCommand("soffice", sofficeArgs(work, out) << info.filePath(), SelectLimitMs);
        if (r.exitCode == 0 && QFileInfo::exists(pdf))
            theirs << info.filePath();
    }
    const QString ours = work + "/select-ours";
    tarnwick(QStringList{"--output-dir", ours} + theirs, work);
    QStringList both;
    for (const QString& file : theirs)
        if (QFileInfo::exists(pdfIn(ours, file)) && both.size() < wanted)
            both << file;
    return both;
}

OurRun tarnwick(const QStringList& args, const QString& work, int killAfter)
{
    OurRun run;
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_CACHE_HOME", work + "/cache");
    p.setProcessEnvironment(env);
    QElapsedTimer t;
    double last = 0;
    QObject::connect(&p, &QProcess::readyReadStandardOutput, [&] {
        const QByteArray out = p.readAllStandardOutput();
        run.converted += int(out.count('\n'));
        last = t.nsecsElapsed() / 1e6;
        if (killAfter > 0 && run.converted >= killAfter)
            ::kill(pid_t(p.processId()), SIGKILL);
    });
    t.start();
    p.start(TW_PROGRAM, QStringList{"--convert"} + args);
    if (!p.waitForFinished(RunLimitMs))
        return run;
    run.ms = t.nsecsElapsed() / 1e6;
    run.lastToExitMs = run.ms - last;
    return run;
}

bool wholePdf(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() < 8)
        return false;
    file.seek(file.size() - 8);
    return file.readAll().contains("%%EOF") && file.seek(0) && file.read(5) == "%PDF-";
}

} // namespace

int main(int argc, char* argv[])
{
    BenchMain<QCoreApplication> main(argc, argv);
    QCommandLineParser parser;
    parser.addPositionalArgument("corpus", "folder of spreadsheets (default ../shared/corpus)");
    parser.addOption({"files", "small sheets for (a)", "N", "40"});
    parser.addOption({"repeats", "runs of each side in (a) and (b)", "N", "5"});
    parser.addOption({"up-to-date", "files for (b)", "N", "1000"});
    parser.addHelpOption();
    parser.process(main.app);
    const QString corpus =
        parser.positionalArguments().value(0, QDir::cleanPath(TW_SOURCE_DIR "/../shared/corpus"));
    const int repeats = std::max(1, parser.value("repeats").toInt());
    const QString work = main.work.path();
    QTextStream& out = main.out;
    out.setRealNumberPrecision(2);

    // (a) Small sheets.
    out << "selecting small sheets that soffice converts ..." << Qt::endl;
    const QStringList small = smallSheets(corpus, work, parser.value("files").toInt());
    tarnwick(QStringList{"--jobs", "1", "--output-dir", work + "/warm"} + small.mid(0, 1), work);
    std::vector<double> ours, theirs, tails;
    for (int i = 0; i < repeats; ++i) {
        const QString o = QString("%1/ours%2").arg(work).arg(i);
        const OurRun run = tarnwick(QStringList{"--jobs", "1", "--output-dir", o} + small, work);
        ours.push_back(run.converted == small.size() ? run.ms : -1);
        tails.push_back(run.lastToExitMs);
        const QString s = QString("%1/theirs%2").arg(work).arg(i);
        theirs.push_back(runCommand("soffice", sofficeArgs(work, s) + small, RunLimitMs).ms);
    }
    const double a = median(ours), b = median(theirs);
    out << "\n(a) " << small.size() << " small sheets, median of " << repeats << " runs\n";
    out << "    tarnwick --convert --jobs 1       " << a / 1000 << " s\n";
    out << "    soffice --convert-to, for all     " << b / 1000 << " s\n";
    out << "    ratio                             " << a / b << "  (target <= 1.0)\n";
    out << "    last PDF to exit                  " << median(tails) << " ms  (target <= 100)\n";
    if (std::any_of(ours.begin(), ours.end(), [](double ms) { return ms < 0; }))
        out << "    WARNING: a run of ours did not convert every sheet\n";

    // (b) Everything up to date: PDFs newer than their sources.
    const int count = parser.value("up-to-date").toInt();
    const QString tree = work + "/tree";
    for (const QString& sheet : makeSampleCopies(tree, count)) {
        QFile pdf(pdfIn(tree, sheet));
        if (pdf.open(QIODevice::WriteOnly)) {
            pdf.write("%PDF-1.4\n%%EOF\n");
            pdf.setFileTime(QDateTime::currentDateTime().addSecs(60),
                            QFileDevice::FileModificationTime);
        }
    }
    std::vector<double> update, find;
    bool officeStarted = false;
    for (int i = 0; i < repeats; ++i) {
        qputenv("QT_LOGGING_RULES", "tarnwick.office.info=true");
        const CommandResult r = runCommand(TW_PROGRAM, {"--convert", "--update", tree}, RunLimitMs);
        qunsetenv("QT_LOGGING_RULES");
        officeStarted = officeStarted || r.err.contains("office started") || r.exitCode != 0;
        update.push_back(r.ms);
        find.push_back(runCommand("find", {tree, "-name", "*.ods", "-newer", tree}, RunLimitMs).ms);
    }
    out << "\n(b) --update over " << count << " up-to-date files, median of " << repeats << "\n";
    out << "    tarnwick --convert --update       " << median(update) / 1000
        << " s  (target <= 1)\n";
    out << "    find -newer over the same tree    " << median(find) / 1000 << " s\n";
    out << "    ratio                             " << median(update) / median(find) << "\n";
    out << "    an office started                 " << (officeStarted ? "yes" : "no")
        << "  (target: no)\n";

    // (c) Killed half-way, then --update.
    const QStringList sheets = makeSampleCopies(work + "/resume-in", 20);
    const QString into = work + "/resume-out";
    const QStringList args = QStringList{"--jobs", "1", "--output-dir", into} + sheets;
    const OurRun killed = tarnwick(args, work, int(sheets.size() / 2));
    const OurRun resumed = tarnwick(QStringList{"--update"} + args, work);
    int whole = 0;
    for (const QString& sheet : sheets)
        whole += wholePdf(pdfIn(into, sheet)) ? 1 : 0;
    out << "\n(c) " << sheets.size() << " files, SIGKILL after half of them, then --update\n";
    out << "    converted before the kill         " << killed.converted << "\n";
    out << "    converted by --update             " << resumed.converted << "  (target: the rest, "
        << sheets.size() - killed.converted << ")\n";
    out << "    whole PDFs afterwards             " << whole << " of " << sheets.size() << "\n";
    return 0;
}
