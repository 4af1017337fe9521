#pragma once

#include "officelocator.h"
#include "officesession.h"

#include <QStringList>

#include <memory>

class Dialogs;
class OfficeOnThread;
class OfficeOperations;
class OfficeThread;
class UnoOffice;

// The office as the main window sees it: the presence check at start-up,
// which starts the office in the background, and the operations that the
// conversion run calls.
class OfficeLink {
public:
    virtual ~OfficeLink() = default;
    // Finds the office suite; when there is none, asks about the download
    // page and answers false: the program must then end.
    virtual bool checkOfficeSuite(Dialogs& dialogs) = 0;
    // Starts the office without waiting for it, so that the first file finds
    // it warm.
    virtual void startInBackground() = 0;
    // Valid after a successful check.
    virtual OfficeOperations& operations() = 0;
    // The program is ending at once, maybe in the middle of an office call:
    // kills the office, removes its pipe socket and the profile lock, and
    // does not wait for the call.
    virtual void abandon() = 0;
};

// The real office through UNO. Every call into it runs on an office thread
// of its own, while the calling thread handles its events.
class UnoOfficeLink final : public OfficeLink {
public:
    // prepareProfile runs on every new connection, before the first call.
    UnoOfficeLink(QStringList candidates, QString profileRoot, WatchLimits limits = {},
                  ProfileSetup prepareProfile = {});
    ~UnoOfficeLink() override;

    bool checkOfficeSuite(Dialogs& dialogs) override;
    void startInBackground() override;
    OfficeOperations& operations() override;
    void abandon() override;
    OfficeSession* session() { return session_.get(); }
    // The office thread, for tests: null before a successful check.
    OfficeThread* thread() { return thread_.get(); }

private:
    QStringList candidates_;
    QString profileRoot_;
    WatchLimits limits_;
    ProfileSetup prepareProfile_;
    std::unique_ptr<OfficeSession> session_;
    std::unique_ptr<UnoOffice> office_;
    std::unique_ptr<OfficeThread> thread_;
    std::unique_ptr<OfficeOnThread> onThread_;
    // Why there is no session, for every file that asks for the office.
    QString unavailable_ = QStringLiteral("The office suite has not been found.");
};
