// The same 100 spreadsheets of a corpus (those that both sides convert)
// through `tarnwick --convert` with one office and with two, and through the
// office's own `soffice --headless --convert-to pdf --outdir`, one call per
// file as scripts do it and one call for all; prints the wall times side by
// side, their ratios, and the throughput of two offices over one. Every
// side starts its office(s) in the time measured, on a profile that exists.
//
//   batch_convert [corpus folder] [--files N] [--repeats N]
#include "benchsupport.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QTemporaryDir>
#include <QTextStream>

#include <cstdio>

namespace {

constexpr int SelectLimitMs = 30000;
constexpr int RunLimitMs = 600000;

class Bench {
public:
    explicit Bench(const QString& work) : work_(work) {}

    // Converts `files` into a new folder; the wall time in ms, or -1 when not
    // every one came out.
    double tarnwick(const QStringList& files, int jobs)
    {
        const QString out = freshFolder();
        const CommandResult r = run(
            TW_PROGRAM,
            QStringList{"--convert", "--output-dir", out, "--jobs", QString::number(jobs)} + files,
            true);
        return complete(out, files) ? r.ms : -1;
    }
    double sofficeForAll(const QStringList& files)
    {
        const QString out = freshFolder();
        const CommandResult r = run("soffice", sofficeArgs(out) + files, false);
        return complete(out, files) ? r.ms : -1;
    }
    double sofficePerFile(const QStringList& files)
    {
        const QString out = freshFolder();
        double ms = 0;
        for (const QString& file : files)
            ms += run("soffice", sofficeArgs(out) + QStringList{file}, false).ms;
        return complete(out, files) ? ms : -1;
    }

    // The files that soffice converts one by one within SelectLimitMs each,
    // then of those the ones that tarnwick converts too, in name order.
    QStringList bothConvert(const QStringList& candidates, int wanted)
    {
        const QString theirs = freshFolder();
        QStringList soffice;
        for (const QString& file : candidates) {
            const CommandResult r =
                runCommand("soffice", sofficeArgs(theirs) + QStringList{file}, SelectLimitMs);
            if (r.exitCode == 0 && QFileInfo::exists(pdfIn(theirs, file)))
                soffice << file;
        }
        const QString ours = freshFolder();
        run(TW_PROGRAM, QStringList{"--convert", "--output-dir", ours} + soffice, true);
        QStringList both;
        for (const QString& file : soffice)
            if (QFileInfo::exists(pdfIn(ours, file)) && both.size() < wanted)
                both << file;
        return both;
    }

private:
    static QString pdfIn(const QString& folder, const QString& file)
    {
        return folder + '/' + QFileInfo(file).completeBaseName() + ".pdf";
    }
    QStringList sofficeArgs(const QString& out) const
    {
        return {"-env:UserInstallation=file://" + work_ + "/soffice-profile",
                "--headless",
                "--convert-to",
                "pdf",
                "--outdir",
                out};
    }
    QString freshFolder()
    {
        const QString folder = QString("%1/out%2").arg(work_).arg(++folders_);
        QDir().mkpath(folder);
        return folder;
    }
    CommandResult run(const QString& program, const QStringList& args, bool ours)
    {
        // Our profiles and settings in the work folder, not the user's.
        if (ours)
            qputenv("XDG_CACHE_HOME", QFile::encodeName(work_ + "/cache"));
        const CommandResult r = runCommand(program, args, RunLimitMs);
        qunsetenv("XDG_CACHE_HOME");
        return r;
    }
    static bool complete(const QString& out, const QStringList& files)
    {
        for (const QString& file : files)
            if (!QFileInfo::exists(pdfIn(out, file)))
                return false;
        return true;
    }

    QString work_;
    int folders_ = 0;
};

// Spreadsheets of the folder whose PDFs do not collide, in name order.
QStringList candidatesIn(const QString& folder)
{
    QStringList files;
    QSet<QString> pdfs;
    for (const QFileInfo& info : QDir(folder).entryInfoList(
             {"*.ods", "*.ots", "*.sxc", "*.stc"}, QDir::Files, QDir::Name | QDir::IgnoreCase))
        if (!pdfs.contains(info.completeBaseName())) {
            pdfs.insert(info.completeBaseName());
            files << info.absoluteFilePath();
        }
    return files;
}

} // namespace

int main(int argc, char* argv[])
{
    BenchMain<QCoreApplication> main(argc, argv);
    QCommandLineParser parser;
    parser.addPositionalArgument("corpus", "folder of spreadsheets (default ../shared/corpus)");
    parser.addOption({"files", "how many files", "N", "100"});
    parser.addOption({"repeats", "runs of each fast side", "N", "5"});
    parser.addHelpOption();
    parser.process(main.app);
    const QString corpus =
        parser.positionalArguments().value(0, QDir::cleanPath(TW_SOURCE_DIR "/../shared/corpus"));
    const int wanted = parser.value("files").toInt();
    const int repeats = std::max(1, parser.value("repeats").toInt());

    Bench bench(main.work.path());
    QTextStream& out = main.out;
    out << "selecting the files that both sides convert (soffice: " << SelectLimitMs / 1000
        << " s each at most) ..." << Qt::endl;
    const QStringList files = bench.bothConvert(candidatesIn(corpus), wanted);
    if (files.size() < wanted)
        out << "only " << files.size() << " files of " << corpus << " convert on both sides\n";

    // Warm: every profile exists before the runs that count.
    bench.tarnwick(files.mid(0, 2), 2);
    bench.sofficeForAll(files.mid(0, 1));

    std::vector<double> one, two, all;
    for (int i = 0; i < repeats; ++i) {
        one.push_back(bench.tarnwick(files, 1));
        two.push_back(bench.tarnwick(files, 2));
        all.push_back(bench.sofficeForAll(files));
    }
    const double perFile = bench.sofficePerFile(files);
    const double jobs1 = median(one), jobs2 = median(two), forAll = median(all);
    const auto failed = [](const std::vector<double>& v) {
        return std::any_of(v.begin(), v.end(), [](double ms) { return ms < 0; });
    };

    out.setRealNumberPrecision(2);
    out << "batch_convert: " << files.size() << " files of " << corpus
        << "; wall time, office start included; median of " << repeats
        << " runs (one call per file: one run)\n\n";
    out << "                                   seconds   / per-file call   / one call for all\n";
    const auto row = [&](const char* name, double ms) {
        out << name << qSetFieldWidth(10) << ms / 1000 << qSetFieldWidth(18) << ms / perFile
            << qSetFieldWidth(20) << ms / forAll << qSetFieldWidth(0) << "\n";
    };
    row("soffice --convert-to, per file  ", perFile);
    row("soffice --convert-to, for all   ", forAll);
    row("tarnwick --convert --jobs 1     ", jobs1);
    row("tarnwick --convert --jobs 2     ", jobs2);
    out << "\nthroughput of --jobs 2 over --jobs 1: " << jobs1 / jobs2 << "  (target >= 1.6)\n";
    out << "--jobs 1 over per-file calls: " << jobs1 / perFile
        << "  (target <= 0.25); over one call for all: " << jobs1 / forAll << "  (target <= 1.1)\n";
    if (failed(one) || failed(two) || failed(all) || perFile < 0)
        out << "WARNING: a run did not give every PDF\n";
    return 0;
}
