#pragma once

#include "desktopintegration.h"

#include <QDBusConnection>
#include <QObject>
#include <QPointer>
#include <QVariantMap>

#include <optional>

class QWidget;

// The desktop told over the session bus: a notification through
// org.freedesktop.Notifications, progress and the urgent flag on the taskbar
// entry through com.canonical.Unity.LauncherEntry, and the window's urgency
// hint. Without a session bus, a notification service or a dock, the calls
// go nowhere and nothing is shown about it.
class DBusDesktop final : public QObject, public DesktopIntegration {
    Q_OBJECT

public:
    // `iconFile`: the program's icon; `dialogs` opens the output folder.
    DBusDesktop(QString iconFile, Dialogs& dialogs);

    // The main window: the notification is for when it is not active, and
    // its default action brings it back.
    void setWindow(QWidget* window) { window_ = window; }

    void runStarted(int files) override;
    void progress(int done, int files) override;
    void runEnded(const RunSummary& summary) override;
    void waitingForUser(bool waiting) override;

private slots:
    void actionInvoked(uint id, const QString& key);

private:
    // The session bus, connected at the first use; none when there is no bus.
    QDBusConnection* bus();
    void updateLauncher(const QVariantMap& properties);
    void notify(const QString& body, bool withActions);
    bool windowActive() const;

    QString iconFile_;
    Dialogs& dialogs_;
    QPointer<QWidget> window_;
    std::optional<QDBusConnection> bus_;
    uint notification_ = 0;
    QString openFolder_;
    bool urgent_ = false;
};

// The notification's text: "298 of 300 files converted, 2 failed".
QString RunSummaryText(const RunSummary& summary);
