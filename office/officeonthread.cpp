#include "officeonthread.h"

#include "officelog.h"

#include <QElapsedTimer>

OfficeRef OfficeOnThread::handOut(OfficeRef object) const
{
    if (!object)
        return {};
    OfficeObject* raw = object.get();
    return OfficeRef(raw, [held = std::move(object), post = thread_.poster()](
                              OfficeObject*) mutable { post([last = std::move(held)] {}); });
}

template <class Job> auto OfficeOnThread::handOver(const char* what, Job job) -> decltype(job())
{
    qCDebug(lcOffice, "%s: handed to the office thread", what);
    QElapsedTimer timer;
    timer.start();
    // Also when the call throws.
    struct Back {
        const char* what;
        QElapsedTimer& timer;
        ~Back() { qCDebug(lcOffice, "%s: back after %lld ms", what, timer.elapsed()); }
    } back{what, timer};
    return thread_.call(job);
}

OfficeRef OfficeOnThread::createServiceManager()
{
    return handOut(
        handOver("createServiceManager", [&] { return office_.createServiceManager(); }));
}

OfficeRef OfficeOnThread::createInstance(const OfficeRef& serviceManager, const QString& service)
{
    return handOut(handOver("createInstance",
                            [&] { return office_.createInstance(serviceManager, service); }));
}

OfficeRef OfficeOnThread::loadComponentFromURL(const OfficeRef& desktop, const QString& url,
                                               const QString& targetFrame, qint16 searchFlags,
                                               const PropertyValues& args)
{
    return handOut(handOver("loadComponentFromURL", [&] {
        return office_.loadComponentFromURL(desktop, url, targetFrame, searchFlags, args);
    }));
}

bool OfficeOnThread::supportsService(const OfficeRef& object, const QString& service)
{
    return handOver("supportsService", [&] { return office_.supportsService(object, service); });
}

OfficeRef OfficeOnThread::getCurrentController(const OfficeRef& document)
{
    return handOut(
        handOver("getCurrentController", [&] { return office_.getCurrentController(document); }));
}

OfficeRef OfficeOnThread::getFrame(const OfficeRef& controller)
{
    return handOut(handOver("getFrame", [&] { return office_.getFrame(controller); }));
}

void OfficeOnThread::executeDispatch(const OfficeRef& dispatchHelper, const OfficeRef& frame,
                                     const QString& command, const QString& targetFrame,
                                     qint16 searchFlags, const PropertyValues& args)
{
    handOver("executeDispatch", [&] {
        office_.executeDispatch(dispatchHelper, frame, command, targetFrame, searchFlags, args);
    });
}

void OfficeOnThread::close(const OfficeRef& document, bool deliverOwnership)
{
    handOver("close", [&] { office_.close(document, deliverOwnership); });
}
