#include "officelink.h"

#include "officecheck.h"
#include "officeerror.h"
#include "officesession.h"
#include "unooffice.h"

UnoOfficeLink::UnoOfficeLink(QStringList candidates, QString profileRoot,
                             std::chrono::milliseconds callLimit)
    : candidates_(std::move(candidates)), profileRoot_(std::move(profileRoot)),
      callLimit_(callLimit)
{
}

UnoOfficeLink::~UnoOfficeLink() = default;

bool UnoOfficeLink::checkOfficeSuite(Dialogs& dialogs)
{
    const auto installation = CheckOfficeSuite(dialogs, candidates_);
    if (!installation)
        return false;
    if (!session_) {
        try {
            session_ = std::make_unique<OfficeSession>(*installation, profileRoot_, callLimit_);
        } catch (const OfficeError& e) {
            // The suite is there; the window opens and the error is reported.
            unavailable_ = e.description();
            throw;
        }
        office_ = std::make_unique<UnoOffice>(*session_);
    }
    return true;
}

void UnoOfficeLink::startInBackground()
{
    if (session_)
        session_->startInBackground();
}

OfficeOperations& UnoOfficeLink::operations()
{
    if (!office_)
        throw OfficeError(unavailable_);
    return *office_;
}

void UnoOfficeLink::shutdown()
{
    if (session_)
        session_->shutdown();
}
