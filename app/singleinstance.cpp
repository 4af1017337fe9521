#include "singleinstance.h"

#include "privatefolder.h"

#include <QCryptographicHash>
#include <QFile>
#include <QLocalSocket>
#include <QLockFile>

#include <cstdio>
#include <memory>
#include <utility>

namespace {
// Each path is sent in its on-disk bytes and ends with a NUL, which no path
// holds; an empty path (a second NUL) ends the list.
QByteArray encodeFiles(const QStringList& files)
{
    QByteArray message;
    for (const QString& file : files)
        message += QFile::encodeName(file) + '\0';
    return message + '\0';
}

bool isComplete(const QByteArray& message)
{
    return message == QByteArrayLiteral("\0") || message.endsWith(QByteArrayLiteral("\0\0"));
}

QStringList decodeFiles(const QByteArray& message)
{
    QStringList files;
    for (const QByteArray& part : message.split('\0'))
        if (!part.isEmpty())
            files << QFile::decodeName(part);
    return files;
}

// A list of paths is small; more than this is not a later start talking.
constexpr qsizetype MaxMessage = 16 * 1024 * 1024;
// How long a start waits for another that is claiming at the same moment.
constexpr int LockWaitMs = 10000;
} // namespace

SingleInstance::SingleInstance(const QString& key, int answerWaitMs, QObject* parent)
    : QObject(parent), answerWaitMs_(answerWaitMs)
{
    const QString folder = PrivateRuntimeFolder();
    if (folder.isEmpty())
        return;
    const QByteArray hash =
        QCryptographicHash::hash(key.toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
    socketPath_ = QStringLiteral("%1/tarnwick-%2").arg(folder, QString::fromLatin1(hash));
}

SingleInstance::Start SingleInstance::claimOrHandOver(const QStringList& files)
{
    if (socketPath_.isEmpty())
        return Start::First;
    // Two starts at the same moment: the lock makes the second one find the
    // first listening. Without the lock the worst case is a second window.
    const QString lockPath = socketPath_ + QStringLiteral(".lock");
    RemoveIfForeign(lockPath);
    QLockFile lock(lockPath);
    lock.tryLock(LockWaitMs);
    switch (handOver(files)) {
    case Answer::Taken:
        return Start::HandedOver;
    case Answer::Silent:
        std::fprintf(stderr, "Tarnwick: the running window does not answer; this start opens "
                             "a window of its own\n");
        return Start::First;
    case Answer::NoOneListens: // left by a start that ended without removing it
    case Answer::Stranger:
        break;
    }
    QLocalServer::removeServer(socketPath_);
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    if (server_.listen(socketPath_))
        connect(&server_, &QLocalServer::newConnection, this, &SingleInstance::acceptConnections);
    else
        std::fprintf(stderr, "Tarnwick: later starts will open windows of their own: %s\n",
                     qPrintable(server_.errorString()));
    return Start::First;
}

void SingleInstance::deliverFiles()
{
    // Files that come while these are added (a folder yields to events)
    // queue up behind them.
    while (!waiting_.isEmpty())
        emit filesArrived(waiting_.takeFirst());
    delivering_ = true;
}

SingleInstance::Answer SingleInstance::handOver(const QStringList& files)
{
    QLocalSocket socket;
    socket.connectToServer(socketPath_);
    if (!socket.waitForConnected(answerWaitMs_))
        return Answer::NoOneListens;
    if (!PeerIsThisUser(socket.socketDescriptor()))
        return Answer::Stranger;
    socket.write(encodeFiles(files));
    // The answer comes once the running start holds the files.
    if (socket.waitForReadyRead(answerWaitMs_) && socket.read(1) == "+")
        return Answer::Taken;
    return Answer::Silent;
}

void SingleInstance::acceptConnections()
{
    while (QLocalSocket* socket = server_.nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        if (!PeerIsThisUser(socket->socketDescriptor())) {
            socket->abort();
            continue;
        }
        auto message = std::make_shared<QByteArray>();
        connect(socket, &QLocalSocket::readyRead, this, [this, socket, message] {
            *message += socket->readAll();
            if (message->size() > MaxMessage) {
                socket->abort();
                return;
            }
            if (!isComplete(*message))
                return;
            const QStringList files = decodeFiles(std::exchange(*message, {}));
            // A sender that stopped waiting opens a window of its own and
            // keeps its files.
            socket->write("+");
            if (socket->flush())
                take(files);
            else
                socket->abort();
        });
    }
}

void SingleInstance::take(const QStringList& files)
{
    if (delivering_)
        emit filesArrived(files);
    else
        waiting_ << files;
}
