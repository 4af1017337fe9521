#include "officelink.h"

#include "officecheck.h"
#include "officeerror.h"
#include "officeonthread.h"
#include "officeworker.h"
#include "unavailableoffice.h"

UnoOfficeLink::UnoOfficeLink(QStringList candidates, QString profileRoot, WatchLimits limits,
                             ProfileSetup prepareProfile, QString officeQuestion)
    : candidates_(std::move(candidates)), profileRoot_(std::move(profileRoot)), limits_(limits),
      prepareProfile_(std::move(prepareProfile)), officeQuestion_(std::move(officeQuestion))
{
}

UnoOfficeLink::~UnoOfficeLink()
{
    onThread_.reset();
    worker_.reset();
}

bool UnoOfficeLink::checkOfficeSuite(Dialogs& dialogs)
{
    installation_ = officeQuestion_.isEmpty()
                        ? LocateOffice(candidates_)
                        : CheckOfficeSuite(dialogs, officeQuestion_, candidates_);
    return installation_.has_value();
}

bool UnoOfficeLink::ensureWorker()
{
    if (worker_ || !installation_)
        return bool(worker_);
    try {
        worker_ =
            std::make_unique<OfficeWorker>(*installation_, profileRoot_, prepareProfile_, limits_);
    } catch (const OfficeError& e) {
        // The suite is there, but cannot be used: every file that asks for
        // it is told why.
        unavailable_ = e.description();
        throw;
    }
    onThread_ = std::make_unique<OfficeOnThread>(worker_->operations(), worker_->thread());
    return true;
}

void UnoOfficeLink::startInBackground()
{
    if (ensureWorker())
        worker_->startInBackground();
}

OfficeOperations& UnoOfficeLink::operations()
{
    try {
        if (ensureWorker())
            return *onThread_;
    } catch (const OfficeError&) {
    }
    if (!unavailableOffice_ || unavailableOffice_->reason() != unavailable_)
        unavailableOffice_ = std::make_unique<UnavailableOffice>(unavailable_);
    return *unavailableOffice_;
}

OfficeSession* UnoOfficeLink::session()
{
    ensureWorker();
    return worker_ ? &worker_->session() : nullptr;
}

OfficeThread* UnoOfficeLink::thread()
{
    ensureWorker();
    return worker_ ? &worker_->thread() : nullptr;
}

void UnoOfficeLink::abandon()
{
    if (worker_)
        worker_->abandon();
}
