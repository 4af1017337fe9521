#include "dbusdesktop.h"

#include <QApplication>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QUrl>
#include <QWidget>

namespace {
const QString NotificationsService = QStringLiteral("org.freedesktop.Notifications");
const QString NotificationsPath = QStringLiteral("/org/freedesktop/Notifications");
const QString LauncherEntry = QStringLiteral("com.canonical.Unity.LauncherEntry");
const QString DesktopEntry = QStringLiteral("tarnwick");
const QString DefaultAction = QStringLiteral("default");
const QString OpenFolderAction = QStringLiteral("open-folder");
} // namespace

QString RunSummaryText(const RunSummary& summary)
{
    QString text = QStringLiteral("%1 of %2 %3 converted")
                       .arg(summary.converted)
                       .arg(summary.files)
                       .arg(summary.files == 1 ? QStringLiteral("file") : QStringLiteral("files"));
    if (const int failed = summary.files - summary.converted; failed > 0)
        text += QStringLiteral(", %1 failed").arg(failed);
    return text;
}

DBusDesktop::DBusDesktop(QString iconFile, Dialogs& dialogs)
    : iconFile_(std::move(iconFile)), dialogs_(dialogs)
{
}

QDBusConnection* DBusDesktop::bus()
{
    if (!bus_) {
        // Connected only when a run first needs it, not at start-up.
        bus_ = QDBusConnection::sessionBus();
        if (bus_->isConnected())
            bus_->connect(QString(), NotificationsPath, NotificationsService,
                          QStringLiteral("ActionInvoked"), this,
                          SLOT(actionInvoked(uint, QString)));
    }
    return bus_->isConnected() ? &*bus_ : nullptr;
}

bool DBusDesktop::windowActive() const
{
    return window_ && window_->isActiveWindow();
}

void DBusDesktop::updateLauncher(const QVariantMap& properties)
{
    QDBusConnection* connection = bus();
    if (!connection)
        return;
    // Docks match the entry by its desktop file; the object path is ours.
    QDBusMessage signal = QDBusMessage::createSignal(QStringLiteral("/com/velmora/tarnwick"),
                                                     LauncherEntry, QStringLiteral("Update"));
    signal << QStringLiteral("application://%1.desktop").arg(DesktopEntry) << properties;
    connection->send(signal);
}

void DBusDesktop::runStarted(int)
{
    updateLauncher({{QStringLiteral("progress"), 0.0}, {QStringLiteral("progress-visible"), true}});
}

void DBusDesktop::progress(int done, int files)
{
    if (files > 0)
        updateLauncher({{QStringLiteral("progress"), static_cast<double>(done) / files},
                        {QStringLiteral("progress-visible"), true}});
}

void DBusDesktop::runEnded(const RunSummary& summary)
{
    updateLauncher({{QStringLiteral("progress-visible"), false}});
    QDBusConnection* connection = bus();
    if (!connection || windowActive())
        return;
    openFolder_ = summary.converted > 0 ? summary.outputFolder : QString();
    // "Open folder" only where the server shows actions. No answer (no
    // notification service) means no notification.
    const QString body = RunSummaryText(summary);
    auto* watcher =
        new QDBusPendingCallWatcher(connection->asyncCall(QDBusMessage::createMethodCall(
                                        NotificationsService, NotificationsPath,
                                        NotificationsService, QStringLiteral("GetCapabilities"))),
                                    this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, body](QDBusPendingCallWatcher* call) {
                call->deleteLater();
                const QDBusPendingReply<QStringList> capabilities = *call;
                if (!capabilities.isError())
                    notify(body, capabilities.value().contains(QStringLiteral("actions")));
            });
}

void DBusDesktop::notify(const QString& body, bool withActions)
{
    QDBusConnection* connection = bus();
    if (!connection)
        return;
    QStringList actions{DefaultAction, QStringLiteral("Show Tarnwick")};
    if (withActions && !openFolder_.isEmpty())
        actions << OpenFolderAction << QStringLiteral("Open folder");
    QDBusMessage call = QDBusMessage::createMethodCall(
        NotificationsService, NotificationsPath, NotificationsService, QStringLiteral("Notify"));
    call << QStringLiteral("Tarnwick") << notification_ << QUrl::fromLocalFile(iconFile_).toString()
         << QStringLiteral("Tarnwick") << body << actions
         << QVariantMap{{QStringLiteral("desktop-entry"), DesktopEntry}} << -1;
    auto* watcher = new QDBusPendingCallWatcher(connection->asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this](QDBusPendingCallWatcher* reply) {
                reply->deleteLater();
                const QDBusPendingReply<uint> id = *reply;
                if (!id.isError())
                    notification_ = id.value();
            });
}

void DBusDesktop::actionInvoked(uint id, const QString& key)
{
    if (id == 0 || id != notification_)
        return;
    if (key == OpenFolderAction && !openFolder_.isEmpty()) {
        dialogs_.openUrl(QUrl::fromLocalFile(openFolder_));
    } else if (key == DefaultAction && window_) {
        window_->setWindowState(window_->windowState() & ~Qt::WindowMinimized);
        window_->show();
        window_->raise();
        window_->activateWindow();
    }
}

void DBusDesktop::waitingForUser(bool waiting)
{
    if (waiting && window_ && !windowActive()) {
        // The urgency hint: the taskbar entry flashes until the window is
        // active again.
        QApplication::alert(window_);
        urgent_ = true;
        updateLauncher({{QStringLiteral("urgent"), true}});
    } else if (!waiting && urgent_) {
        urgent_ = false;
        updateLauncher({{QStringLiteral("urgent"), false}});
    }
}
