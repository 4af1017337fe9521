#include "officebridge.h"

#include "officeerror.h"
#include "unostring.h"

#include <com/sun/star/bridge/BridgeFactory.hpp>
#include <com/sun/star/connection/Connector.hpp>
#include <com/sun/star/connection/NoConnectException.hpp>
#include <com/sun/star/lang/XComponent.hpp>
#include <cppuhelper/bootstrap.hxx>
#include <cppuhelper/implbase1.hxx>
#include <rtl/bootstrap.hxx>

#include <mutex>

using namespace css;
using css::uno::Reference;

namespace {
// Runs on the bridge's own thread: it may only set the flag.
class BridgeListener : public cppu::WeakImplHelper1<lang::XEventListener> {
public:
    explicit BridgeListener(std::shared_ptr<std::atomic<bool>> flag) : flag_(std::move(flag)) {}
    void SAL_CALL disposing(const lang::EventObject&) override { *flag_ = true; }

private:
    std::shared_ptr<std::atomic<bool>> flag_;
};
} // namespace

Reference<uno::XComponentContext> LocalUnoContext(const OfficeInstallation& installation)
{
    static std::once_flag once;
    static Reference<uno::XComponentContext> context;
    std::call_once(once, [&] {
        rtl::Bootstrap::set("URE_BOOTSTRAP",
                            toOUString("vnd.sun.star.pathname:" + installation.fundamentalRc()));
        context = cppu::defaultBootstrap_InitialComponentContext();
    });
    if (!context.is())
        throw OfficeError(QStringLiteral("The office runtime could not be initialised."));
    return context;
}

OfficePipeConnector::OfficePipeConnector(const Reference<uno::XComponentContext>& local)
    : connector_(connection::Connector::create(local)),
      factory_(bridge::BridgeFactory::create(local))
{
}

Reference<bridge::XBridge> OfficePipeConnector::tryConnect(const QString& pipeName) const
{
    try {
        const auto conn = connector_->connect(toOUString("pipe,name=" + pipeName));
        return factory_->createBridge("", "urp", conn, nullptr);
    } catch (const connection::NoConnectException&) {
    } catch (const uno::RuntimeException&) {
        // Gone again before the bridge was made.
    }
    return {};
}

std::shared_ptr<std::atomic<bool>> WatchDisposal(const Reference<bridge::XBridge>& bridge)
{
    auto flag = std::make_shared<std::atomic<bool>>(false);
    Reference<lang::XComponent>(bridge, uno::UNO_QUERY_THROW)
        ->addEventListener(new BridgeListener(flag));
    return flag;
}
