#include "unooffice.h"

#include "officeerror.h"
#include "officesession.h"
#include "unostring.h"

#include <com/sun/star/frame/XComponentLoader.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XDispatchHelper.hpp>
#include <com/sun/star/frame/XDispatchProvider.hpp>
#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/lang/DisposedException.hpp>
#include <com/sun/star/lang/XServiceInfo.hpp>
#include <com/sun/star/util/XCloseable.hpp>

#include <type_traits>

using namespace css;
using css::uno::Reference;
using css::uno::XInterface;

namespace {

class UnoObject final : public OfficeObject {
public:
    explicit UnoObject(Reference<XInterface> ref) : ref(std::move(ref)) {}
    Reference<XInterface> ref;
};

OfficeRef wrap(const Reference<XInterface>& ref)
{
    return ref.is() ? std::make_shared<UnoObject>(ref) : OfficeRef{};
}

// The object as interface I; a missing object or one of the wrong kind is a
// clear error, never a call through an empty reference.
template <class I> Reference<I> as(const OfficeRef& object, const char* what)
{
    const auto* uno = dynamic_cast<const UnoObject*>(object.get());
    if (!uno || !uno->ref.is())
        throw MissingObjectError(QLatin1String(what));
    Reference<I> typed(uno->ref, uno::UNO_QUERY);
    if (!typed.is())
        throw OfficeError(QStringLiteral("The %1 does not offer the interface that is needed.")
                              .arg(QLatin1String(what)));
    return typed;
}

// Every call into an office that has died fails, each with the bridge's
// own text; the user is told once what happened, in words.
OfficeError stoppedWorking()
{
    return OfficeError(QStringLiteral("The office suite stopped working"));
}

// Runs one office call under the session's watchdog and turns the office's
// exceptions into OfficeError.
template <class F> auto officeCall(OfficeSession& session, F call) -> decltype(call())
{
    try {
        if constexpr (std::is_void_v<decltype(call())>) {
            session.guarded(call);
        } else {
            decltype(call()) result;
            session.guarded([&] { result = call(); });
            return result;
        }
    } catch (const lang::DisposedException&) {
        throw stoppedWorking();
    } catch (const uno::Exception& e) {
        if (!session.connected() || !session.process().running())
            throw stoppedWorking();
        const QString message = toQString(e.Message);
        throw OfficeError(message.isEmpty() ? QStringLiteral("The office suite reported an error.")
                                            : message);
    }
}

// Tells a load that failed because the office reached its memory ceiling:
// its address space grew during the load to within an eighth of the
// ceiling (it grows in steps of some 64 MB and stops just below it). A peak
// that an earlier file reached does not count.
class MemoryWatch {
public:
    explicit MemoryWatch(const OfficeProcess& process)
        : process_(process), before_(process.peakAddressSpace())
    {
    }
    void check() const
    {
        const std::uint64_t ceiling = process_.memoryCeiling();
        const std::uint64_t peak = process_.peakAddressSpace();
        if (peak > before_ && peak >= ceiling - ceiling / 8)
            throw OfficeMemoryError(
                QStringLiteral("The office suite ran out of the memory allowed to it (%1 GiB).")
                    .arg(QString::number(double(ceiling) / double(1 << 30), 'g', 3)));
    }

private:
    const OfficeProcess& process_;
    const std::uint64_t before_;
};

} // namespace

OfficeRef UnoOffice::createServiceManager()
{
    // The session watches its own calls and restarts a dead office.
    try {
        return wrap(session_.serviceManager());
    } catch (const uno::Exception& e) {
        throw OfficeError(toQString(e.Message));
    }
}

OfficeRef UnoOffice::createInstance(const OfficeRef& serviceManager, const QString& service)
{
    // Interface queries go to the office too, so they run under the watch.
    return officeCall(session_, [&] {
        const auto factory = as<lang::XMultiComponentFactory>(serviceManager, "service manager");
        return wrap(factory->createInstanceWithContext(toOUString(service), session_.context()));
    });
}

OfficeRef UnoOffice::loadComponentFromURL(const OfficeRef& desktop, const QString& url,
                                          const QString& targetFrame, qint16 searchFlags,
                                          const PropertyValues& args)
{
    const MemoryWatch memory(session_.process());
    OfficeRef document;
    try {
        document = officeCall(session_, [&] {
            const auto loader = as<frame::XComponentLoader>(desktop, "desktop");
            return wrap(loader->loadComponentFromURL(toOUString(url), toOUString(targetFrame),
                                                     searchFlags, args));
        });
    } catch (const OfficeHungError&) {
        throw;
    } catch (const OfficeError&) {
        memory.check();
        throw;
    }
    if (!document)
        memory.check();
    return document;
}

bool UnoOffice::supportsService(const OfficeRef& object, const QString& service)
{
    return officeCall(session_, [&] {
        return bool(
            as<lang::XServiceInfo>(object, "document")->supportsService(toOUString(service)));
    });
}

OfficeRef UnoOffice::getCurrentController(const OfficeRef& document)
{
    return officeCall(session_, [&] {
        return wrap(as<frame::XModel>(document, "document")->getCurrentController());
    });
}

OfficeRef UnoOffice::getFrame(const OfficeRef& controller)
{
    return officeCall(session_, [&] {
        return wrap(as<frame::XController>(controller, "document controller")->getFrame());
    });
}

void UnoOffice::executeDispatch(const OfficeRef& dispatchHelper, const OfficeRef& frame,
                                const QString& command, const QString& targetFrame,
                                qint16 searchFlags, const PropertyValues& args)
{
    officeCall(session_, [&] {
        const auto helper = as<frame::XDispatchHelper>(dispatchHelper, "dispatch helper");
        const auto provider = as<frame::XDispatchProvider>(frame, "document frame");
        helper->executeDispatch(provider, toOUString(command), toOUString(targetFrame), searchFlags,
                                args);
    });
}

qint64 UnoOffice::officePid() const
{
    return session_.officePid();
}

QString UnoOffice::profileDir() const
{
    return session_.process().profileDir();
}

void UnoOffice::close(const OfficeRef& document, bool deliverOwnership)
{
    officeCall(session_,
               [&] { as<util::XCloseable>(document, "document")->close(deliverOwnership); });
}
