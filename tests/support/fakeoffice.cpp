#include "fakeoffice.h"

#include "unostring.h"

#include <QFile>
#include <QUrl>

namespace {
class FakeObject final : public OfficeObject {
public:
    explicit FakeObject(QString label) : label(std::move(label)) {}
    QString label;
};

QString describe(const PropertyValues& args)
{
    QStringList parts;
    for (const auto& arg : args)
        parts << toQString(arg.Name);
    return parts.join(u',');
}

void require(const OfficeRef& object, const char* what)
{
    if (!object)
        throw MissingObjectError(QLatin1String(what));
}
} // namespace

QString FakeOffice::label(const OfficeRef& object)
{
    const auto* fake = dynamic_cast<const FakeObject*>(object.get());
    return fake ? fake->label : QStringLiteral("none");
}

QString FakeOffice::pathFromUrl(const QString& url)
{
    return QUrl::fromPercentEncoding(url.mid(QStringLiteral("file://").size()).toUtf8());
}

void FakeOffice::writeFakePdf(const QString& path)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write("%PDF-1.4 fake\n");
}

OfficeRef FakeOffice::make(const QString& kind)
{
    return std::make_shared<FakeObject>(QStringLiteral("%1#%2").arg(kind).arg(++serial_));
}

void FakeOffice::maybeFail(const QString& operation)
{
    if (failing.contains(operation))
        throw OfficeError(QStringLiteral("scripted failure of %1").arg(operation));
}

OfficeRef FakeOffice::createServiceManager()
{
    calls << QStringLiteral("createServiceManager");
    maybeFail(QStringLiteral("createServiceManager"));
    return make(QStringLiteral("serviceManager"));
}

OfficeRef FakeOffice::createInstance(const OfficeRef& serviceManager, const QString& service)
{
    calls << QStringLiteral("createInstance %1 %2").arg(label(serviceManager), service);
    require(serviceManager, "service manager");
    maybeFail(QStringLiteral("createInstance ") + service);
    return make(service.section(u'.', -1));
}

OfficeRef FakeOffice::loadComponentFromURL(const OfficeRef& desktop, const QString& url,
                                           const QString& targetFrame, qint16 searchFlags,
                                           const PropertyValues& args)
{
    calls << QStringLiteral("loadComponentFromURL %1 %2 %3 %4 %5")
                 .arg(label(desktop), url, targetFrame)
                 .arg(searchFlags)
                 .arg(describe(args));
    require(desktop, "desktop");
    maybeFail(QStringLiteral("loadComponentFromURL"));
    if (unloadableUrls.contains(url))
        return {};
    OfficeRef document = make(QStringLiteral("document"));
    if (textUrls.contains(url))
        textDocuments_.insert(label(document));
    return document;
}

bool FakeOffice::supportsService(const OfficeRef& object, const QString& service)
{
    calls << QStringLiteral("supportsService %1 %2").arg(label(object), service);
    require(object, "document");
    maybeFail(QStringLiteral("supportsService"));
    const bool text = textDocuments_.contains(label(object));
    return service == (text ? QStringLiteral("com.sun.star.text.TextDocument")
                            : QStringLiteral("com.sun.star.sheet.SpreadsheetDocument"));
}

OfficeRef FakeOffice::getCurrentController(const OfficeRef& document)
{
    calls << QStringLiteral("getCurrentController %1").arg(label(document));
    require(document, "document");
    maybeFail(QStringLiteral("getCurrentController"));
    return make(QStringLiteral("controller"));
}

OfficeRef FakeOffice::getFrame(const OfficeRef& controller)
{
    calls << QStringLiteral("getFrame %1").arg(label(controller));
    require(controller, "document controller");
    maybeFail(QStringLiteral("getFrame"));
    return make(QStringLiteral("frame"));
}

void FakeOffice::executeDispatch(const OfficeRef& dispatchHelper, const OfficeRef& frame,
                                 const QString& command, const QString& targetFrame,
                                 qint16 searchFlags, const PropertyValues& args)
{
    calls << QStringLiteral("executeDispatch %1 %2 %3 '%4' %5 %6")
                 .arg(label(dispatchHelper), label(frame), command, targetFrame)
                 .arg(searchFlags)
                 .arg(describe(args));
    require(dispatchHelper, "dispatch helper");
    require(frame, "document frame");
    maybeFail(QStringLiteral("executeDispatch"));
    rtl::OUString url;
    if (args.getLength() > 0)
        args[0].Value >>= url;
    if (exportAction)
        exportAction(pathFromUrl(toQString(url)));
}

void FakeOffice::close(const OfficeRef& document, bool deliverOwnership)
{
    calls << QStringLiteral("close %1 %2").arg(label(document)).arg(deliverOwnership);
    require(document, "document");
    maybeFail(QStringLiteral("close"));
}

void FakeOffice::release(OfficeRef& object)
{
    if (object)
        calls << QStringLiteral("release %1").arg(label(object));
    object.reset();
}
