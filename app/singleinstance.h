#pragma once

#include "uniquefd.h"

#include <QList>
#include <QObject>
#include <QStringList>

#include <memory>

class QSocketNotifier;

// One window per user: the first start listens on a local socket in a
// folder that only this user may enter, named after the settings file; a
// later start hands its files to it and ends once it has answered.
class SingleInstance : public QObject {
    Q_OBJECT

public:
    // Starts that share the key (the settings file) share one window. A
    // later start waits up to answerWaitMs for the running one to answer.
    explicit SingleInstance(const QString& key, int answerWaitMs = 5000, QObject* parent = nullptr);
    ~SingleInstance() override;

    enum class Start { First, HandedOver };
    // Hands the files to the start that runs already, or, when none does,
    // listens for the files of later starts. A running start that does not
    // answer keeps its socket; this one then opens a window of its own.
    Start claimOrHandOver(const QStringList& files);
    // Files of later starts wait until the window can take them; from now
    // on they come with filesArrived, those that waited first.
    void deliverFiles();
    // Stops listening and removes the socket, for an exit that skips the
    // destructors.
    void close();
    // Empty when no private folder could be had.
    const QString& socketPath() const { return socketPath_; }

signals:
    void filesArrived(const QStringList& files);

private:
    enum class Answer { Taken, Silent, NoOneListens, Stranger };
    Answer handOver(const QStringList& files);
    void listen();
    void acceptConnections();
    void take(const QStringList& files);

    QString socketPath_;
    int answerWaitMs_;
    UniqueFd listener_;
    std::unique_ptr<QSocketNotifier> listening_;
    bool delivering_ = false;
    QList<QStringList> waiting_;
};
