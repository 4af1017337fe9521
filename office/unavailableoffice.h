#pragma once

#include "officeoperations.h"

// The operations when the office cannot be had (its profile cannot be
// used): the service manager fails with the reason, so each file of a run
// is attempted and told why, and every later step finds no object to work
// with, as with an office that is missing.
class UnavailableOffice final : public OfficeOperations {
public:
    explicit UnavailableOffice(QString reason) : reason_(std::move(reason)) {}
    const QString& reason() const { return reason_; }

    OfficeRef createServiceManager() override { throw OfficeError(reason_); }
    OfficeRef createInstance(const OfficeRef&, const QString&) override
    {
        throw MissingObjectError(QStringLiteral("service manager"));
    }
    OfficeRef loadComponentFromURL(const OfficeRef&, const QString&, const QString&, qint16,
                                   const PropertyValues&) override
    {
        throw MissingObjectError(QStringLiteral("desktop"));
    }
    bool supportsService(const OfficeRef&, const QString&) override
    {
        throw MissingObjectError(QStringLiteral("document"));
    }
    OfficeRef getCurrentController(const OfficeRef&) override
    {
        throw MissingObjectError(QStringLiteral("document"));
    }
    OfficeRef getFrame(const OfficeRef&) override
    {
        throw MissingObjectError(QStringLiteral("document controller"));
    }
    void executeDispatch(const OfficeRef&, const OfficeRef&, const QString&, const QString&, qint16,
                         const PropertyValues&) override
    {
        throw MissingObjectError(QStringLiteral("dispatch helper"));
    }
    void close(const OfficeRef&, bool) override
    {
        throw MissingObjectError(QStringLiteral("document"));
    }

private:
    QString reason_;
};
