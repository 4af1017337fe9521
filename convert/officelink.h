#pragma once

#include "officelocator.h"
#include "officesession.h"

#include <QStringList>

#include <memory>

class Dialogs;
class OfficeOperations;
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
    // Ends the office now (the program is ending).
    virtual void shutdown() = 0;
};

// The real office through UNO.
class UnoOfficeLink final : public OfficeLink {
public:
    UnoOfficeLink(QStringList candidates, QString profileRoot,
                  std::chrono::milliseconds callLimit = DefaultOfficeCallLimit);
    ~UnoOfficeLink() override;

    bool checkOfficeSuite(Dialogs& dialogs) override;
    void startInBackground() override;
    OfficeOperations& operations() override;
    void shutdown() override;
    OfficeSession* session() { return session_.get(); }

private:
    QStringList candidates_;
    QString profileRoot_;
    std::chrono::milliseconds callLimit_;
    std::unique_ptr<OfficeSession> session_;
    std::unique_ptr<UnoOffice> office_;
    // Why there is no session, for every file that asks for the office.
    QString unavailable_ = QStringLiteral("The office suite has not been found.");
};
