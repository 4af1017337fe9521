#pragma once

#include "exportleftovers.h"

#include <mutex>

// The export in progress, if any, so that the program's immediate end can
// remove the temporary files it has put beside its target. The end may come
// on another thread than the export's: an export does not end while its
// leftovers are being removed.
class RunningExport {
public:
    // Marks `leftovers` as the export in progress for this object's life.
    class Scope {
    public:
        Scope(RunningExport* running, const ExportLeftovers& leftovers) : running_(running)
        {
            if (running_) {
                const std::lock_guard lock(running_->mutex_);
                running_->current_ = &leftovers;
            }
        }
        ~Scope()
        {
            if (running_) {
                const std::lock_guard lock(running_->mutex_);
                running_->current_ = nullptr;
            }
        }
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        RunningExport* running_;
    };

    bool active() const
    {
        const std::lock_guard lock(mutex_);
        return current_ != nullptr;
    }
    // Removes what the export in progress has added to its folder so far.
    void removeLeftovers() const
    {
        const std::lock_guard lock(mutex_);
        if (current_)
            current_->removeNew();
    }

private:
    mutable std::mutex mutex_;
    const ExportLeftovers* current_ = nullptr;
};
