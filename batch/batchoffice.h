#pragma once

#include "batchsources.h"
#include "officelocator.h"
#include "runningexport.h"

#include <cstdint>
#include <functional>
#include <memory>

class OfficeSession;
class OfficeThread;
class UnoOffice;

// One office of a batch: its session on a private profile under a memory
// ceiling of its own, with its watchdog, and its thread, on which each file
// goes through the per-file steps from start to end.
class BatchOffice {
public:
    // Starts the office in the background. Raises an OfficeError when no
    // profile can be had.
    BatchOffice(const OfficeInstallation& installation, const QString& profileRoot,
                std::uint64_t memoryCeiling);
    ~BatchOffice();
    BatchOffice(const BatchOffice&) = delete;
    BatchOffice& operator=(const BatchOffice&) = delete;

    // What became of one file: converted when `error` is empty.
    struct Outcome {
        BatchItem item;
        QString error;
    };
    // Converts the file on the office thread, making its PDF's folder when
    // needed, and tells `done` there.
    void convert(const BatchItem& item, std::function<void(const Outcome&)> done);
    // The program is ending at once: kills the office and removes what its
    // export in progress has left. Safe from any thread.
    void abandon();

private:
    std::unique_ptr<OfficeSession> session_;
    std::unique_ptr<UnoOffice> office_;
    RunningExport running_;
    std::unique_ptr<OfficeThread> thread_;
};
