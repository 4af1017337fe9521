#include "batchcommand.h"

#include "argumentparser.h"
#include "batchoptions.h"
#include "batchreport.h"
#include "batchrun.h"
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

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace {
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
        BatchRun run(installation, DefaultOfficeProfileRoot(), plan, report);
        current = &run;
        run.convert(items);
        current = nullptr;
    } catch (const TarnwickError& e) {
        // No office to convert with: every file fails the same way.
        current = nullptr;
        for (const BatchItem& item : items)
            report.failed(item.source, e.description());
    }
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
    const BatchOptions options = ParseBatchOptions(arguments, QDir::currentPath(), shownAs);
    if (!options.usageError.isEmpty()) {
        PrintUsageError(options.usageError);
        return BatchExit::UsageError;
    }
    const auto installation = LocateOffice();
    if (!installation) {
        PrintNoOffice();
        return BatchExit::NoOffice;
    }

    BatchReport report(stdout, stderr, ::isatty(STDERR_FILENO) == 1);
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
    const BatchSources sources =
        CollectSources(options, dialogs, [] { QCoreApplication::processEvents(); });
    report.setFiles(int(sources.items.size() + sources.problems.size()));
    for (const BatchProblem& problem : sources.problems)
        report.failed(problem.source, problem.message);
    if (!sources.items.isEmpty())
        convertAll(sources.items, options, *installation, report, running);
    report.summary(elapsed.nsecsElapsed() / 1e9, false);
    return report.exitCode();
}
