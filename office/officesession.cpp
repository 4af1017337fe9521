#include "officesession.h"

#include "officeconfiguration.h"
#include "officeerror.h"
#include "officelimits.h"
#include "officelog.h"
#include "unostring.h"
#include "watchdog.h"

#include <com/sun/star/bridge/BridgeFactory.hpp>
#include <com/sun/star/connection/Connector.hpp>
#include <com/sun/star/connection/NoConnectException.hpp>
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/util/XChangesBatch.hpp>
#include <cppuhelper/bootstrap.hxx>
#include <cppuhelper/implbase1.hxx>
#include <rtl/bootstrap.hxx>

#include <QDeadlineTimer>
#include <QDir>
#include <QStandardPaths>

#include <csignal>
#include <mutex>
#include <thread>

using namespace css;
using css::uno::Reference;

namespace {

// The client's own UNO runtime, bootstrapped once per process from the
// installation; without it the first remote call crashes.
Reference<uno::XComponentContext> localContext(const OfficeInstallation& installation)
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

// Runs on the bridge's own thread: it may only set the flag.
class BridgeListener : public cppu::WeakImplHelper1<lang::XEventListener> {
public:
    explicit BridgeListener(std::shared_ptr<std::atomic<bool>> flag) : flag_(std::move(flag)) {}
    void SAL_CALL disposing(const lang::EventObject&) override { *flag_ = true; }

private:
    std::shared_ptr<std::atomic<bool>> flag_;
};

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

// One attempt to reach the office on its pipe: the bridge to it, or none
// while it does not accept.
Reference<bridge::XBridge> bridgeTo(const Reference<connection::XConnector>& connector,
                                    const Reference<bridge::XBridgeFactory2>& factory,
                                    const QString& pipeName)
{
    try {
        const auto conn = connector->connect(toOUString("pipe,name=" + pipeName));
        return factory->createBridge("", "urp", conn, nullptr);
    } catch (const connection::NoConnectException&) {
    } catch (const uno::RuntimeException&) {
        // Gone again before the bridge was made.
    }
    return {};
}

// Sleeps between two attempts to reach the office. The session runs on the
// office thread, which has no events to handle; the window waits for the
// whole call in its own event loop.
void sleepBeforeRetry()
{
    std::this_thread::sleep_for(OfficeConnectRetry);
}

} // namespace

QString DefaultOfficeProfileRoot()
{
    return QStandardPaths::writableLocation(QStandardPaths::CacheLocation) +
           QStringLiteral("/office-profiles");
}

void ClearIdleProfileTemps(const QString& profileRoot)
{
    const QDir root(profileRoot);
    const QStringList profiles = root.entryList({QStringLiteral("profile-*")}, QDir::Dirs);
    for (const QString& name : profiles) {
        bool numbered = false;
        name.mid(8).toUInt(&numbered);
        if (!numbered)
            continue;
        // The lock that the session takes: held, the profile is in use; a
        // dead Tarnwick's is taken over.
        QLockFile lock(root.filePath(name + QStringLiteral(".lock")));
        lock.setStaleLockTime(0);
        if (lock.tryLock(0))
            QDir(root.filePath(name + QStringLiteral("/tmp"))).removeRecursively();
    }
}

OfficeSession::OfficeSession(OfficeInstallation installation, const QString& profileRoot,
                             WatchLimits limits, std::uint64_t memoryCeiling)
    : installation_(std::move(installation))
{
    RemoveOrphanedOfficePipeSockets();
    // Two offices must never share a profile, so each Tarnwick takes the
    // first profile that no other Tarnwick holds.
    QDir().mkpath(profileRoot);
    QString profile;
    for (int n = 0;; ++n) {
        profile = QStringLiteral("%1/profile-%2").arg(profileRoot).arg(n);
        auto lock = std::make_unique<QLockFile>(profile + QStringLiteral(".lock"));
        lock->setStaleLockTime(0);
        if (lock->tryLock(0)) {
            profileLock_ = std::move(lock);
            break;
        }
        // Held by another Tarnwick: try the next. Anything else will not
        // get better with another number.
        if (lock->error() != QLockFile::LockFailedError)
            throw OfficeError(
                QStringLiteral("The office profile folder cannot be used: %1").arg(profileRoot));
    }
    process_ = std::make_unique<OfficeProcess>(installation_, profile, memoryCeiling);
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
    watched(std::chrono::milliseconds::max(), call);
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
    const auto local = localContext(installation_);
    const auto connector = connection::Connector::create(local);
    const auto factory = bridge::BridgeFactory::create(local);
    const QDeadlineTimer profileSetup(OfficeProfileSetupWait);
    for (;;) {
        if (watchdog_->fired())
            throw restarted();
        // On a new profile the first office only sets the profile up and
        // then exits; a connection made meanwhile would break at once.
        const bool settingUp =
            process_->startedOnNewProfile() && process_->running() && !profileSetup.hasExpired();
        if (!settingUp) {
            if (attach(bridgeTo(connector, factory, process_->pipeName())))
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
        auto flag = std::make_shared<std::atomic<bool>>(false);
        Reference<lang::XComponent>(bridge, uno::UNO_QUERY_THROW)
            ->addEventListener(new BridgeListener(flag));
        Reference<uno::XComponentContext> remote(bridge->getInstance("StarOffice.ComponentContext"),
                                                 uno::UNO_QUERY_THROW);
        if (profileSetup_)
            profileSetup_(remote);
        bridge_ = bridge;
        remote_ = remote;
        bridgeDisposed_ = flag;
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
