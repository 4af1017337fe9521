#pragma once

#include "batchsources.h"
#include "officelocator.h"

#include <QEventLoop>
#include <QObject>

#include <memory>
#include <vector>

class BatchReport;
struct JobPlan;

// Several offices converting one list of files: each office is a worker with
// its own thread, on which each file goes through the per-file steps from
// start to end; each file goes to whichever office is free, and is reported
// as it finishes.
class BatchRun final : public QObject {
public:
    // Starts the plan's offices in the background. Raises an OfficeError
    // when one cannot be had.
    BatchRun(const OfficeInstallation& installation, const QString& profileRoot,
             const JobPlan& plan, BatchReport& report);
    ~BatchRun() override;

    // Converts the files; returns once every one has finished.
    void convert(const QList<BatchItem>& items);
    // The program is ending at once: every office is killed and every export
    // in progress removes what it left. Call from this object's thread.
    void abandon();

private:
    struct Office;
    // What became of one file: converted when `error` is empty.
    struct Outcome {
        BatchItem item;
        QString error;
    };

    void handOut(Office& office);
    void finished(Office& office, const Outcome& outcome);

    BatchReport& report_;
    std::vector<std::unique_ptr<Office>> offices_;
    QList<BatchItem> items_;
    qsizetype next_ = 0;
    int working_ = 0;
    QEventLoop loop_;
};
