#pragma once

#include "batchsources.h"
#include "officelocator.h"

#include <QEventLoop>
#include <QObject>

#include <chrono>
#include <deque>
#include <memory>
#include <vector>

class BatchReport;
struct JobPlan;

// Several offices converting one list of files: each office is a worker with
// its own thread, on which each file goes through the per-file steps from
// start to end; each file goes to whichever office is free, and is reported
// as it finishes. A file that fails hands its PDF to its next stand-in.
class BatchRun final : public QObject {
public:
    // Starts the plan's offices in the background. Raises an OfficeError
    // when one cannot be had. A file may take `timeout` at most (zero: the
    // office's own limits).
    BatchRun(const OfficeInstallation& installation, const QString& profileRoot,
             const JobPlan& plan, BatchReport& report,
             std::chrono::seconds timeout = std::chrono::seconds(0));
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
        double seconds = 0;
    };

    void handOut(Office& office);
    void finished(Office& office, const Outcome& outcome);

    BatchReport& report_;
    std::chrono::seconds timeout_;
    std::vector<std::unique_ptr<Office>> offices_;
    std::deque<BatchItem> waiting_;
    int working_ = 0;
    QEventLoop loop_;
};
