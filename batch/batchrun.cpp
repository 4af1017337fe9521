#include "batchrun.h"

#include "batchreport.h"
#include "errors.h"
#include "fileconversion.h"
#include "jobplan.h"
#include "officeworker.h"
#include "pdfprofilesettings.h"
#include "runningexport.h"

#include <QDir>
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
// per-file steps. The error's description; empty when converted.
QString convertOnOfficeThread(OfficeOperations& office, RunningExport& running,
                              const BatchItem& item)
{
    try {
        const QString folder = QFileInfo(item.pdf).path();
        if (!QDir().mkpath(folder))
            throw TarnwickError(QStringLiteral("The folder %1 cannot be made.").arg(folder));
        ConvertFile(office, item.source, item.pdf, &running);
    } catch (...) {
        return DescribeCurrentException().description;
    }
    return {};
}
} // namespace

BatchRun::BatchRun(const OfficeInstallation& installation, const QString& profileRoot,
                   const JobPlan& plan, BatchReport& report)
    : report_(report)
{
    for (int i = 0; i < plan.jobs; ++i)
        offices_.push_back(std::make_unique<Office>(installation, profileRoot, plan.memoryCeiling));
}

BatchRun::~BatchRun() = default;

void BatchRun::convert(const QList<BatchItem>& items)
{
    items_ = items;
    next_ = 0;
    for (auto& office : offices_)
        handOut(*office);
    if (working_ > 0)
        loop_.exec();
}

void BatchRun::handOut(Office& office)
{
    if (next_ >= items_.size())
        return;
    ++working_;
    office.worker.post([this, &office, item = items_[next_++]] {
        const Outcome outcome{
            item, convertOnOfficeThread(office.worker.operations(), office.running, item)};
        // From the office's thread to this one.
        QMetaObject::invokeMethod(
            this, [this, &office, outcome] { finished(office, outcome); }, Qt::QueuedConnection);
    });
}

void BatchRun::finished(Office& office, const Outcome& outcome)
{
    --working_;
    if (outcome.error.isEmpty())
        report_.converted(outcome.item.source, outcome.item.pdf);
    else
        report_.failed(outcome.item.source, outcome.error);
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
