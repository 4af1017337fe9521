#include "batchrun.h"

#include "batchreport.h"
#include "errors.h"
#include "fileconversion.h"
#include "jobplan.h"
#include "officeerror.h"
#include "officeworker.h"
#include "pdfprofilesettings.h"
#include "runningexport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>

// One office of the batch and its export in progress. The worker is ended
// first, so that none of its jobs outlives `running`.
struct BatchRun::Office {
    Office(const OfficeInstallation& installation, const QString& profileRoot,
           std::uint64_t memoryCeiling)
        : worker(installation, profileRoot, WritePdfExportSettings, {}, memoryCeiling)
    {
        worker.startInBackground();
    }

    RunningExport running;
    OfficeWorker worker;
};

namespace {
// One file on the office's thread: its PDF's folder when needed, then the
// per-file steps, within `timeout` when one is set. The error's
// description; empty when converted.
QString convertOnOfficeThread(OfficeWorker& worker, RunningExport& running, const BatchItem& item,
                              std::chrono::seconds timeout)
{
    OfficeSession& session = worker.session();
    if (timeout.count() > 0)
        session.setDeadline(std::chrono::steady_clock::now() + timeout);
    QString error;
    try {
        const QString folder = QFileInfo(item.pdf).path();
        if (!QDir().mkpath(folder))
            throw TarnwickError(QStringLiteral("The folder %1 cannot be made.").arg(folder));
        ConvertFile(worker.operations(), item.source, item.pdf, &running);
    } catch (const OfficeHungError&) {
        error = session.deadlinePassed()
                    ? QStringLiteral("It took longer than %1 seconds and was ended; the office "
                                     "suite was restarted.")
                          .arg(timeout.count())
                    : DescribeCurrentException().description;
    } catch (...) {
        error = DescribeCurrentException().description;
    }
    session.setDeadline(std::nullopt);
    return error;
}
} // namespace

BatchRun::BatchRun(const OfficeInstallation& installation, const QString& profileRoot,
                   const JobPlan& plan, BatchReport& report, std::chrono::seconds timeout)
    : report_(report), timeout_(timeout)
{
    for (int i = 0; i < plan.jobs; ++i)
        offices_.push_back(std::make_unique<Office>(installation, profileRoot, plan.memoryCeiling));
}

BatchRun::~BatchRun() = default;

void BatchRun::convert(const QList<BatchItem>& items)
{
    waiting_.assign(items.cbegin(), items.cend());
    for (auto& office : offices_)
        handOut(*office);
    if (working_ > 0)
        loop_.exec();
}

void BatchRun::handOut(Office& office)
{
    if (waiting_.empty())
        return;
    ++working_;
    office.worker.post([this, &office, item = std::move(waiting_.front())] {
        QElapsedTimer took;
        took.start();
        const QString error = convertOnOfficeThread(office.worker, office.running, item, timeout_);
        const Outcome outcome{item, error, double(took.nsecsElapsed()) / 1e9};
        // From the office's thread to this one.
        QMetaObject::invokeMethod(
            this, [this, &office, outcome] { finished(office, outcome); }, Qt::QueuedConnection);
    });
    waiting_.pop_front();
}

void BatchRun::finished(Office& office, const Outcome& outcome)
{
    --working_;
    const BatchItem& item = outcome.item;
    if (outcome.error.isEmpty()) {
        report_.converted(item.source, item.pdf, outcome.seconds);
        for (const BatchItem& standIn : item.standIns) {
            const BatchProblem given = GivenByAnother(standIn, item.source);
            report_.failed(given.source, given.pdf, given.message);
        }
    } else {
        report_.failed(item.source, item.pdf, outcome.error, outcome.seconds);
        // The PDF is still to be made: the next source of it is tried next.
        if (!item.standIns.empty()) {
            BatchItem next = item.standIns.front();
            next.standIns.assign(item.standIns.begin() + 1, item.standIns.end());
            waiting_.push_front(std::move(next));
        }
    }
    handOut(office);
    if (working_ == 0)
        loop_.quit();
}

void BatchRun::abandon()
{
    for (auto& office : offices_) {
        office->worker.abandon();
        // Only once the office is dead: it might still write to the file.
        office->running.removeLeftovers();
    }
}
