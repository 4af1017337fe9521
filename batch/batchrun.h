#pragma once

#include "batchoffice.h"
#include "batchsources.h"

#include <QEventLoop>
#include <QObject>

#include <memory>
#include <vector>

class BatchReport;
struct JobPlan;

// Several offices converting one list of files: each file goes to whichever
// office is free, and is reported as it finishes.
class BatchRun final : public QObject {
public:
    // Starts the plan's offices. Raises an OfficeError when one cannot be had.
    BatchRun(const OfficeInstallation& installation, const QString& profileRoot,
             const JobPlan& plan, BatchReport& report);
    ~BatchRun() override;

    // Converts the files; returns once every one has finished.
    void convert(const QList<BatchItem>& items);
    // The program is ending at once: every office is killed and every export
    // in progress removes what it left. Call from this object's thread.
    void abandon();

private:
    void handOut(BatchOffice& office);
    void finished(BatchOffice& office, const BatchOffice::Outcome& outcome);

    BatchReport& report_;
    std::vector<std::unique_ptr<BatchOffice>> offices_;
    QList<BatchItem> items_;
    qsizetype next_ = 0;
    int working_ = 0;
    QEventLoop loop_;
};
