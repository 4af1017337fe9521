#pragma once

#include "officelocator.h"

#include <QString>
#include <com/sun/star/bridge/XBridge.hpp>
#include <com/sun/star/bridge/XBridgeFactory2.hpp>
#include <com/sun/star/connection/XConnector.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>

#include <atomic>
#include <memory>

// The UNO bridge between Tarnwick and an office: the local runtime it needs,
// reaching the office's pipe, and telling when the bridge has gone.

// The client's own UNO runtime, bootstrapped once per process from the
// installation; without it the first remote call crashes. Raises an
// OfficeError when it cannot be had.
css::uno::Reference<css::uno::XComponentContext>
LocalUnoContext(const OfficeInstallation& installation);

class OfficePipeConnector {
public:
    explicit OfficePipeConnector(const css::uno::Reference<css::uno::XComponentContext>& local);
    // One attempt to reach the office on its pipe: the bridge to it, or none
    // while it does not accept.
    css::uno::Reference<css::bridge::XBridge> tryConnect(const QString& pipeName) const;

private:
    css::uno::Reference<css::connection::XConnector> connector_;
    css::uno::Reference<css::bridge::XBridgeFactory2> factory_;
};

// A flag that turns true once the bridge is disposed, as when its office
// dies. Raises the office's exception when the bridge is gone already.
std::shared_ptr<std::atomic<bool>>
WatchDisposal(const css::uno::Reference<css::bridge::XBridge>& bridge);
