#include "officeonthread.h"

OfficeRef OfficeOnThread::handOut(OfficeRef object) const
{
    if (!object)
        return {};
    OfficeObject* raw = object.get();
    return OfficeRef(raw, [held = std::move(object), post = thread_.poster()](
                              OfficeObject*) mutable { post([last = std::move(held)] {}); });
}

OfficeRef OfficeOnThread::createServiceManager()
{
    return handOut(thread_.call([&] { return office_.createServiceManager(); }));
}

OfficeRef OfficeOnThread::createInstance(const OfficeRef& serviceManager, const QString& service)
{
    return handOut(thread_.call([&] { return office_.createInstance(serviceManager, service); }));
}

OfficeRef OfficeOnThread::loadComponentFromURL(const OfficeRef& desktop, const QString& url,
                                               const QString& targetFrame, qint16 searchFlags,
                                               const PropertyValues& args)
{
    return handOut(thread_.call([&] {
        return office_.loadComponentFromURL(desktop, url, targetFrame, searchFlags, args);
    }));
}

OfficeRef OfficeOnThread::getCurrentController(const OfficeRef& document)
{
    return handOut(thread_.call([&] { return office_.getCurrentController(document); }));
}

OfficeRef OfficeOnThread::getFrame(const OfficeRef& controller)
{
    return handOut(thread_.call([&] { return office_.getFrame(controller); }));
}

void OfficeOnThread::executeDispatch(const OfficeRef& dispatchHelper, const OfficeRef& frame,
                                     const QString& command, const QString& targetFrame,
                                     qint16 searchFlags, const PropertyValues& args)
{
    thread_.call([&] {
        office_.executeDispatch(dispatchHelper, frame, command, targetFrame, searchFlags, args);
    });
}

void OfficeOnThread::close(const OfficeRef& document, bool deliverOwnership)
{
    thread_.call([&] { office_.close(document, deliverOwnership); });
}
