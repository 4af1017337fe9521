#include "officesession.h"

#include "officebridge.h"
#include "officeconfiguration.h"
#include "officeerror.h"
#include "officelimits.h"
#include "officelog.h"
#include "unostring.h"
#include "watchdog.h"

#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/util/XChangesBatch.hpp>

#include <QDeadlineTimer>

#include <csignal>
#include <thread>

using namespace css;
using css::uno::Reference;

namespace {

// The office writes a lock file beside every document it opens and leaves
// it there when it is killed; documents here are only read, so the private
// profile turns locking off.
void turnOffDocumentLocking(const Reference<uno::XComponentContext>& remote)
{
    try {
        const auto misc = OpenConfigurationForUpdate(
            remote, QStringLiteral("/org.openoffice.Office.Common/Misc"));
        misc->replaceByName("UseLocking", uno::Any(false));
        misc->replaceByName("UseDocumentOOoLockFile", uno::Any(false));
        misc->replaceByName("UseDocumentSystemFileLocking", uno::Any(false));
        Reference<util::XChangesBatch>(misc, uno::UNO_QUERY_THROW)->commitChanges();
    } catch (const uno::Exception&) {
        // Locking stays on: a leftover lock file is untidy, not harmful.
    }
}

// Sleeps between two attempts to reach the office. The session runs on the
// office thread, which has no events to handle; the window waits for the
// whole call in its own event loop.
void sleepBeforeRetry()
{
    std::this_thread::sleep_for(OfficeConnectRetry);
}

} // namespace

OfficeSession::OfficeSession(OfficeInstallation installation, const QString& profileRoot,
                             WatchLimits limits, std::uint64_t memoryCeiling)
    : installation_(std::move(installation))
{
    RemoveOrphanedOfficePipeSockets();
    HeldOfficeProfile profile = TakeOfficeProfile(profileRoot);
    profileLock_ = std::move(profile.lock);
    process_ = std::make_unique<OfficeProcess>(installation_, profile.dir, memoryCeiling);
    // Work shows as CPU time; a hung office uses none.
    watchdog_ = std::make_unique<Watchdog>(
        limits, [this] { return process_->cpuTime(); },
        [this] {
            qCInfo(lcOffice,
                   "watchdog: the office (pid %d) shows no progress or took too long: "
                   "killing it",
                   int(process_->pid()));
            process_->signal(SIGKILL);
        });
}

OfficeSession::~OfficeSession()
{
    // The watchdog's thread reads and kills the office: it ends first.
    watchdog_.reset();
    shutdown();
}

void OfficeSession::startInBackground()
{
    if (!process_->running()) {
        dropBridge();
        launch();
    }
}

void OfficeSession::launch()
{
    process_->start();
    ++launches_;
}

OfficeHungError OfficeSession::restarted()
{
    // The watchdog killed the office: start the next one right away.
    qCInfo(lcOffice) << "restarting the office that the watchdog killed";
    dropBridge();
    launch();
    return OfficeHungError(QStringLiteral("The office suite stopped responding and was restarted"));
}

void OfficeSession::watched(std::chrono::milliseconds longest, const std::function<void()>& body)
{
    // A connect inside a watched call is covered by that call's watch.
    if (watching_) {
        body();
        return;
    }
    watching_ = true;
    watchdog_->arm(longest);
    try {
        body();
    } catch (const OfficeHungError&) {
        // Already replaced.
        watching_ = false;
        watchdog_->disarm();
        throw;
    } catch (...) {
        watching_ = false;
        if (watchdog_->disarm())
            throw restarted();
        throw;
    }
    watching_ = false;
    if (watchdog_->disarm())
        throw restarted();
}

void OfficeSession::guarded(const std::function<void()>& call)
{
    using namespace std::chrono;
    const milliseconds left =
        deadline_ ? std::max(duration_cast<milliseconds>(*deadline_ - steady_clock::now()),
                             milliseconds(0))
                  : milliseconds::max();
    watched(left, call);
}

bool OfficeSession::connected() const
{
    return bridge_.is() && !*bridgeDisposed_;
}

Reference<lang::XMultiComponentFactory> OfficeSession::serviceManager()
{
    Reference<lang::XMultiComponentFactory> manager;
    const auto ask = [&] {
        const auto ctx = context();
        guarded([&] { manager = ctx->getServiceManager(); });
    };
    // An office that hangs while connecting costs this file; after that it
    // has been replaced already.
    context();
    try {
        ask();
    } catch (const uno::RuntimeException&) {
        // The office died after the last call, before the bridge told us:
        // one fresh start answers that.
        qCInfo(lcOffice) << "the office did not answer: restarting it";
        dropBridge();
        launch();
        ask();
    } catch (const OfficeHungError&) {
        // It hung and was replaced: ask the new one.
        ask();
    }
    return manager;
}

Reference<uno::XComponentContext> OfficeSession::context()
{
    if (!connected() || !process_->running())
        connect();
    return remote_;
}

void OfficeSession::connect()
{
    // An office that lost its bridge while still running (dying or hung)
    // cannot be reached again: it is replaced.
    const bool hadBridge = bridge_.is();
    dropBridge();
    int launched = 0;
    if (hadBridge || !process_->running()) {
        if (hadBridge)
            qCInfo(lcOffice) << "the office's connection broke: restarting it";
        launch();
        ++launched;
    }
    // Starting up and the first calls are watched like any office call,
    // within the connect deadline.
    watched(OfficeConnectTimeout, [&] { connectWatched(launched); });
}

void OfficeSession::connectWatched(int launched)
{
    const OfficePipeConnector connector(LocalUnoContext(installation_));
    const QDeadlineTimer profileSetup(OfficeProfileSetupWait);
    for (;;) {
        if (watchdog_->fired())
            throw restarted();
        // On a new profile the first office only sets the profile up and
        // then exits; a connection made meanwhile would break at once.
        const bool settingUp =
            process_->startedOnNewProfile() && process_->running() && !profileSetup.hasExpired();
        if (!settingUp) {
            if (attach(connector.tryConnect(process_->pipeName())))
                return;
            if (!process_->running())
                launchAgain(launched);
        }
        sleepBeforeRetry();
    }
}

bool OfficeSession::attach(const Reference<bridge::XBridge>& bridge)
{
    if (!bridge.is())
        return false;
    try {
        auto disposed = WatchDisposal(bridge);
        Reference<uno::XComponentContext> remote(bridge->getInstance("StarOffice.ComponentContext"),
                                                 uno::UNO_QUERY_THROW);
        if (profileSetup_)
            profileSetup_(remote);
        bridge_ = bridge;
        remote_ = remote;
        bridgeDisposed_ = std::move(disposed);
        turnOffDocumentLocking(remote);
    } catch (const uno::RuntimeException&) {
        // The office went away between accepting and answering.
        return false;
    }
    qCInfo(lcOffice) << "connected to the office: pid" << process_->pid();
    return true;
}

void OfficeSession::launchAgain(int& launched)
{
    // A crash while starting gets another chance, up to the last attempt.
    if (launched >= OfficeLaunchAttempts) {
        const QString error = process_->startError();
        if (!error.isEmpty())
            throw OfficeError(
                QStringLiteral("The office suite could not be started: %1").arg(error));
        const auto code = process_->exitCode();
        throw OfficeError(QStringLiteral("The office suite ended while starting (exit code %1).")
                              .arg(code ? QString::number(*code) : QStringLiteral("none")));
    }
    qCInfo(lcOffice) << "the office ended while starting: starting it again";
    launch();
    ++launched;
}

void OfficeSession::dropBridge()
{
    remote_.clear();
    if (bridge_.is()) {
        try {
            Reference<lang::XComponent>(bridge_, uno::UNO_QUERY_THROW)->dispose();
        } catch (const uno::Exception&) {
            // Already gone with its office.
        }
    }
    bridge_.clear();
}

void OfficeSession::shutdown()
{
    dropBridge();
    process_->stop();
}

void OfficeSession::abandon()
{
    process_->abandon();
    profileLock_->unlock();
}
