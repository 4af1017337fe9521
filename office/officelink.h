#pragma once

#include "officelocator.h"
#include "officesession.h"

#include <QStringList>

#include <memory>
#include <optional>

class Dialogs;
class OfficeOnThread;
class OfficeOperations;
class OfficeThread;
class OfficeWorker;
class UnavailableOffice;

// The office as the main window sees it: the presence check at start-up, the
// start of the office in the background once the window is on the screen,
// and the operations that the conversion run calls.
class OfficeLink {
public:
    virtual ~OfficeLink() = default;
    // Finds the office suite, and nothing more; when there is none, may ask
    // about the download page, and answers false: the program must then end.
    virtual bool checkOfficeSuite(Dialogs& dialogs) = 0;
    // Takes an office profile and starts the office without waiting for
    // it, so that the first file finds it warm. Throws OfficeError when the
    // profile cannot be used.
    virtual void startInBackground() = 0;
    // Valid after a successful check. When the office cannot be had, every
    // file that asks is told why by the operations themselves.
    virtual OfficeOperations& operations() = 0;
    // The program is ending at once, maybe in the middle of an office call:
    // kills the office, removes its pipe socket and the profile lock, and
    // does not wait for the call.
    virtual void abandon() = 0;
};

// The real office through UNO: one office worker. Every call into it runs on
// the worker's office thread, while the calling thread handles its events.
class UnoOfficeLink final : public OfficeLink {
public:
    // prepareProfile runs on every new connection, before the first call.
    // officeQuestion is asked when there is no office (see CheckOfficeSuite);
    // without one the check asks nothing.
    UnoOfficeLink(QStringList candidates, QString profileRoot, WatchLimits limits = {},
                  ProfileSetup prepareProfile = {}, QString officeQuestion = {});
    ~UnoOfficeLink() override;

    bool checkOfficeSuite(Dialogs& dialogs) override;
    void startInBackground() override;
    OfficeOperations& operations() override;
    void abandon() override;
    // Null before a successful check.
    OfficeSession* session();
    // The office thread, for tests: null before a successful check.
    OfficeThread* thread();

private:
    // The worker and the operations handed to its thread, made at the first
    // need after a successful check; false before that check.
    bool ensureWorker();

    QStringList candidates_;
    std::optional<OfficeInstallation> installation_;
    QString profileRoot_;
    WatchLimits limits_;
    ProfileSetup prepareProfile_;
    QString officeQuestion_;
    std::unique_ptr<OfficeWorker> worker_;
    std::unique_ptr<OfficeOnThread> onThread_;
    std::unique_ptr<UnavailableOffice> unavailableOffice_;
    // Why there is no session, for every file that asks for the office.
    QString unavailable_ = QStringLiteral("The office suite has not been found.");
};
