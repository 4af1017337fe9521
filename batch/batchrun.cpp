#include "batchrun.h"

#include "batchreport.h"
#include "jobplan.h"

BatchRun::BatchRun(const OfficeInstallation& installation, const QString& profileRoot,
                   const JobPlan& plan, BatchReport& report)
    : report_(report)
{
    for (int i = 0; i < plan.jobs; ++i)
        offices_.push_back(
            std::make_unique<BatchOffice>(installation, profileRoot, plan.memoryCeiling));
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

void BatchRun::handOut(BatchOffice& office)
{
    if (next_ >= items_.size())
        return;
    ++working_;
    office.convert(items_[next_++], [this, &office](const BatchOffice::Outcome& outcome) {
        // From the office's thread to this one.
        QMetaObject::invokeMethod(
            this, [this, &office, outcome] { finished(office, outcome); }, Qt::QueuedConnection);
    });
}

void BatchRun::finished(BatchOffice& office, const BatchOffice::Outcome& outcome)
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
    for (auto& office : offices_)
        office->abandon();
}
