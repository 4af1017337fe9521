#include "officelink.h"

#include "officecheck.h"
#include "officeerror.h"
#include "officeonthread.h"
#include "officesession.h"
#include "officethread.h"
#include "unavailableoffice.h"
#include "unooffice.h"

UnoOfficeLink::UnoOfficeLink(QStringList candidates, QString profileRoot, WatchLimits limits,
                             ProfileSetup prepareProfile)
    : candidates_(std::move(candidates)), profileRoot_(std::move(profileRoot)), limits_(limits),
      prepareProfile_(std::move(prepareProfile))
{
}

UnoOfficeLink::~UnoOfficeLink()
{
    // The office ends from its own thread, after the calls still queued.
    if (thread_)
        thread_->post([session = session_.get()] { session->shutdown(); });
    onThread_.reset();
    thread_.reset();
}

bool UnoOfficeLink::checkOfficeSuite(Dialogs& dialogs)
{
    installation_ = CheckOfficeSuite(dialogs, candidates_);
    return installation_.has_value();
}

bool UnoOfficeLink::ensureSession()
{
    if (session_ || !installation_)
        return bool(session_);
    try {
        session_ = std::make_unique<OfficeSession>(*installation_, profileRoot_, limits_);
        session_->setProfileSetup(prepareProfile_);
    } catch (const OfficeError& e) {
        // The suite is there, but cannot be used: every file that asks for
        // it is told why.
        unavailable_ = e.description();
        throw;
    }
    office_ = std::make_unique<UnoOffice>(*session_);
    thread_ = std::make_unique<OfficeThread>();
    onThread_ = std::make_unique<OfficeOnThread>(*office_, *thread_);
    return true;
}

void UnoOfficeLink::startInBackground()
{
    if (ensureSession())
        thread_->post([session = session_.get()] { session->startInBackground(); });
}

OfficeOperations& UnoOfficeLink::operations()
{
    try {
        if (ensureSession())
            return *onThread_;
    } catch (const OfficeError&) {
    }
    if (!unavailableOffice_ || unavailableOffice_->reason() != unavailable_)
        unavailableOffice_ = std::make_unique<UnavailableOffice>(unavailable_);
    return *unavailableOffice_;
}

OfficeSession* UnoOfficeLink::session()
{
    ensureSession();
    return session_.get();
}

OfficeThread* UnoOfficeLink::thread()
{
    ensureSession();
    return thread_.get();
}

void UnoOfficeLink::abandon()
{
    if (session_)
        session_->abandon();
}
