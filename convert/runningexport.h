#pragma once

#include "exportleftovers.h"

// The export in progress, if any, so that the program's immediate end can
// remove the temporary files it has put beside its target. Used from the
// window's thread only.
class RunningExport {
public:
    // Marks `leftovers` as the export in progress for this object's life.
    class Scope {
    public:
        Scope(RunningExport* running, const ExportLeftovers& leftovers) : running_(running)
        {
            if (running_)
                running_->current_ = &leftovers;
        }
        ~Scope()
        {
            if (running_)
                running_->current_ = nullptr;
        }
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        RunningExport* running_;
    };

    bool active() const { return current_ != nullptr; }
    // Removes what the export in progress has added to its folder so far.
    void removeLeftovers() const
    {
        if (current_)
            current_->removeNew();
    }

private:
    const ExportLeftovers* current_ = nullptr;
};
