#pragma once

#include "officeoperations.h"

class OfficeSession;

// The office operations through the UNO bridge of a live office session.
class UnoOffice final : public OfficeOperations {
public:
    explicit UnoOffice(OfficeSession& session) : session_(session) {}

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
    qint64 officePid() const override;
    QString profileDir() const override;

private:
    OfficeSession& session_;
};
