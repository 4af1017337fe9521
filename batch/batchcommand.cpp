#include "batchcommand.h"

#include "argumentparser.h"
#include "batchoptions.h"
#include "batchreport.h"
#include "batchrun.h"
#include "batchselection.h"
#include "batchsources.h"
#include "brokenpipes.h"
#include "consoledialogs.h"
#include "errors.h"
#include "exitsignals.h"
#include "exportleftovers.h"
#include "fileattributes.h"
#include "jobplan.h"
#include "officechild.h"
#include "officelimits.h"
#include "officelocator.h"
#include "officesession.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <unistd.h>

namespace {
struct CloseFile {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileCloser = std::unique_ptr<std::FILE, CloseFile>;

void convertAll(const QList<BatchItem>& items, const BatchOptions& options,
                const OfficeInstallation& installation, BatchReport& report, BatchRun*& current)
{
    const int wanted =
        std::min<qsizetype>(options.jobs > 0 ? options.jobs : DefaultJobCount(), items.size());
    const JobPlan plan =
        PlanJobs(wanted, DefaultOfficeMemoryCeiling(), SmallestOfficeMemoryCeiling);
    if (!plan.note.isEmpty())
        report.note(plan.note);
    // A Tarnwick killed outright in the middle of an export left the
    // office's temporary file beside the PDF.
    ExportLeftovers::removeOrphaned(DefaultOfficeProfileRoot());
    ClearIdleProfileTemps(DefaultOfficeProfileRoot());
    try {
        BatchRun run(installation, DefaultOfficeProfileRoot(), plan, report,
                     std::chrono::seconds(options.timeout));
        current = &run;
        run.convert(items);
        current = nullptr;
    } catch (const TarnwickError& e) {
        // No office to convert with: every file fails the same way.
        current = nullptr;
        for (const BatchItem& item : items) {
            report.failed(item.source, item.pdf, e.description());
            for (const BatchItem& standIn : item.standIns)
                report.failed(standIn.source, standIn.pdf, e.description());
        }
    }
}
// The sources that --files-from lists go after the command line's.
void addListed(BatchOptions& options, const QString& workingDir)
{
    for (const Argument& source : ReadSourceList(options.filesFrom, options.null, workingDir)) {
        if (source.unrepresentable)
            options.unrepresentable << options.paths.size();
        options.paths << source.text;
    }
}

int filesIn(const BatchSources& sources)
{
    qsizetype files = sources.problems.size();
    for (const BatchItem& item : sources.items)
        files += 1 + qsizetype(item.standIns.size());
    return int(files);
}
} // namespace

int RunBatchCommand(int argc, char* argv[])
{
    // A setting of the whole process, so made before anything else runs.
    IgnoreBrokenPipes();
    // Read before the application object takes any of Qt's options out of
    // argv, so that the two lists stay parallel.
    const QStringList arguments = ProgramArguments(argc, argv);
    const QStringList shownAs = UnrepresentableArguments(argc, argv);
    QCoreApplication app(argc, argv);
    // Only where the office profiles go; no settings are read or written.
    QCoreApplication::setOrganizationName(QStringLiteral("Velmora"));
    QCoreApplication::setApplicationName(QStringLiteral("Tarnwick"));
    QElapsedTimer elapsed;
    elapsed.start();
    BatchOptions options = ParseBatchOptions(arguments, QDir::currentPath(), shownAs);
    if (!options.usageError.isEmpty()) {
        PrintUsageError(options.usageError);
        return BatchExit::UsageError;
    }
    try {
        if (!options.filesFrom.isEmpty())
            addListed(options, QDir::currentPath());
    } catch (const TarnwickError& e) {
        PrintUsageError(e.description());
        return BatchExit::UsageError;
    }
    // The JSON report on standard output takes the place of the plain records.
    std::FILE* json = options.report == u"-" ? stdout : nullptr;
    const FileCloser reportFile(options.report.isEmpty() || json
                                    ? nullptr
                                    : std::fopen(QFile::encodeName(options.report), "we"));
    if (!options.report.isEmpty() && !json && !reportFile.get()) {
        PrintUsageError(QStringLiteral("--report: %1 cannot be written: %2")
                            .arg(options.report, QString::fromLocal8Bit(std::strerror(errno))));
        return BatchExit::UsageError;
    }
    const auto installation = LocateOffice();
    if (!installation) {
        PrintNoOffice();
        return BatchExit::NoOffice;
    }

    BatchReport report(stdout, stderr, ::isatty(STDERR_FILENO) == 1,
                       {options.null, json == nullptr, options.update});
    if (json)
        report.setJson(json, QStringLiteral("Standard output"));
    else if (reportFile.get())
        report.setJson(reportFile.get(), options.report);
    BatchRun* running = nullptr;
    // An interrupt ends the program at once, the offices first, with what
    // their exports left.
    const ExitSignals exitSignals([&](int signal) {
        if (running)
            running->abandon();
        report.summary(elapsed.nsecsElapsed() / 1e9, true);
        std::fflush(nullptr);
        std::_Exit(128 + signal);
    });

    ConsoleDialogs dialogs;
    BatchSources sources =
        CollectSources(options, dialogs, [] { QCoreApplication::processEvents(); });
    KeepShare(sources, options.shard, options.shards);
    const QList<BatchItem> upToDate = options.update ? TakeUpToDate(sources) : QList<BatchItem>();
    report.setFiles(filesIn(sources) + int(upToDate.size()));
    for (const BatchItem& item : upToDate)
        report.upToDate(item.source, item.pdf);
    for (const BatchProblem& problem : sources.problems)
        report.failed(problem.source, problem.pdf, problem.message);
    if (!sources.items.isEmpty())
        convertAll(sources.items, options, *installation, report, running);
    report.summary(elapsed.nsecsElapsed() / 1e9, false);
    return report.exitCode();
}
