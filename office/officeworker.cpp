#include "officeworker.h"

#include "brokenpipes.h"
#include "unooffice.h"

OfficeWorker::OfficeWorker(const OfficeInstallation& installation, const QString& profileRoot,
                           ProfileSetup prepareProfile, WatchLimits limits,
                           std::uint64_t memoryCeiling)
{
    // Also where the program did not set it at its start (tests, benchmarks):
    // a worker's office may die in the middle of a write to its pipe.
    IgnoreBrokenPipes();
    session_ = std::make_unique<OfficeSession>(installation, profileRoot, limits, memoryCeiling);
    session_->setProfileSetup(std::move(prepareProfile));
    office_ = std::make_unique<UnoOffice>(*session_);
    thread_ = std::make_unique<OfficeThread>();
}

OfficeWorker::~OfficeWorker()
{
    thread_->post([session = session_.get()] { session->shutdown(); });
    // Runs what is queued, the shutdown last, and ends the thread.
    thread_.reset();
}

void OfficeWorker::startInBackground()
{
    thread_->post([session = session_.get()] { session->startInBackground(); });
}

OfficeOperations& OfficeWorker::operations()
{
    return *office_;
}
