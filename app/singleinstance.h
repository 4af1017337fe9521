#pragma once

#include <QLocalServer>
#include <QObject>
#include <QStringList>

// One window per user: the first start listens on a local socket that only
// this user may open, named after the user and the settings file; a later
// start hands its files to it and ends.
class SingleInstance : public QObject {
    Q_OBJECT

public:
    // Starts that share the key (the settings file) share one window.
    explicit SingleInstance(const QString& key, QObject* parent = nullptr);

    enum class Start { First, HandedOver };
    // Hands the files to the start that runs already, or, when none does,
    // listens for the files of later starts.
    Start claimOrHandOver(const QStringList& files);
    const QString& socketPath() const { return socketPath_; }

signals:
    void filesArrived(const QStringList& files);

private:
    bool handOver(const QStringList& files);
    void acceptConnections();

    QString socketPath_;
    QLocalServer server_;
};
