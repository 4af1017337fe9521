#pragma once

#include "officeerror.h"

#include <QString>
#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/uno/Sequence.hxx>

#include <memory>

// An office object held by the run (service manager, desktop, document, ...).
// Each implementation of OfficeOperations has its own kind of object.
class OfficeObject {
public:
    virtual ~OfficeObject() = default;
};
using OfficeRef = std::shared_ptr<OfficeObject>;
using PropertyValues = css::uno::Sequence<css::beans::PropertyValue>;

// The error for an operation on an object that a failed step never made.
inline OfficeError MissingObjectError(const QString& what)
{
    return OfficeError(
        QStringLiteral("There is no %1 to work with: it could not be obtained.").arg(what));
}

// The office calls that converting one file makes, in the order of
// FileConversion. Every operation on a missing object raises an OfficeError
// with a clear description instead of crashing; office failures arrive as
// OfficeError too. loadComponentFromURL, like the office, answers a file it
// cannot open with an empty reference.
class OfficeOperations {
public:
    virtual ~OfficeOperations() = default;
    // The service manager of a live office, starting one when needed.
    virtual OfficeRef createServiceManager() = 0;
    virtual OfficeRef createInstance(const OfficeRef& serviceManager, const QString& service) = 0;
    virtual OfficeRef loadComponentFromURL(const OfficeRef& desktop, const QString& url,
                                           const QString& targetFrame, qint16 searchFlags,
                                           const PropertyValues& args) = 0;
    // Whether the object is an instance of the service: a loaded document
    // tells so what kind of document it is.
    virtual bool supportsService(const OfficeRef& object, const QString& service) = 0;
    virtual OfficeRef getCurrentController(const OfficeRef& document) = 0;
    virtual OfficeRef getFrame(const OfficeRef& controller) = 0;
    virtual void executeDispatch(const OfficeRef& dispatchHelper, const OfficeRef& frame,
                                 const QString& command, const QString& targetFrame,
                                 qint16 searchFlags, const PropertyValues& args) = 0;
    virtual void close(const OfficeRef& document, bool deliverOwnership) = 0;
    // Lets go of an object; the reference is empty afterwards.
    virtual void release(OfficeRef& object) { object.reset(); }
    // The process id of the office that the calls reach; -1 when unknown.
    virtual qint64 officePid() const { return -1; }
    // The private profile folder of that office, where a caller may note
    // what must outlive a Tarnwick killed outright; "" when there is none.
    virtual QString profileDir() const { return {}; }
};
