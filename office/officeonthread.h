#pragma once

#include "officeoperations.h"
#include "officethread.h"

// The operations of `office`, each run on the office thread while the
// calling thread handles its events. The objects it hands out are let go on
// the office thread too, whichever thread drops them last.
class OfficeOnThread final : public OfficeOperations {
public:
    OfficeOnThread(OfficeOperations& office, OfficeThread& thread)
        : office_(office), thread_(thread)
    {
    }

    OfficeRef createServiceManager() override;
    OfficeRef createInstance(const OfficeRef& serviceManager, const QString& service) override;
    OfficeRef loadComponentFromURL(const OfficeRef& desktop, const QString& url,
                                   const QString& targetFrame, qint16 searchFlags,
                                   const PropertyValues& args) override;
    bool supportsService(const OfficeRef& object, const QString& service) override;
    OfficeRef getCurrentController(const OfficeRef& document) override;
    OfficeRef getFrame(const OfficeRef& controller) override;
    void executeDispatch(const OfficeRef& dispatchHelper, const OfficeRef& frame,
                         const QString& command, const QString& targetFrame, qint16 searchFlags,
                         const PropertyValues& args) override;
    void close(const OfficeRef& document, bool deliverOwnership) override;
    // Read under the office process's own lock: safe from this thread.
    qint64 officePid() const override { return office_.officePid(); }
    // Fixed for the session's life.
    QString profileDir() const override { return office_.profileDir(); }

private:
    // The same object, whose last owner hands it to the office thread to be
    // let go.
    OfficeRef handOut(OfficeRef object) const;
    // Runs `job` on the office thread; logged when the log asks for detail.
    template <class Job> auto handOver(const char* what, Job job) -> decltype(job());

    OfficeOperations& office_;
    OfficeThread& thread_;
};
