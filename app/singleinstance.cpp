#include "singleinstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>
#include <QLockFile>
#include <QPointer>

#include <cstdio>
#include <memory>

#include <unistd.h>

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
// How long a later start waits for the running one to take its files in.
constexpr int AnswerWaitMs = 5000;
} // namespace

SingleInstance::SingleInstance(const QString& key, QObject* parent) : QObject(parent)
{
    QString dir = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (dir.isEmpty() || !QFileInfo(dir).isDir())
        dir = QDir::tempPath();
    const QByteArray hash =
        QCryptographicHash::hash(key.toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
    socketPath_ = QStringLiteral("%1/tarnwick-%2-%3")
                      .arg(dir, QString::number(::getuid()), QString::fromLatin1(hash));
}

SingleInstance::Start SingleInstance::claimOrHandOver(const QStringList& files)
{
    // Two starts at the same moment: the lock makes the second one find the
    // first listening. Without the lock the worst case is a second window.
    QLockFile lock(socketPath_ + QStringLiteral(".lock"));
    lock.tryLock(10000);
    if (handOver(files))
        return Start::HandedOver;
    // A socket left by a start that ended without removing it.
    QLocalServer::removeServer(socketPath_);
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    if (server_.listen(socketPath_))
        connect(&server_, &QLocalServer::newConnection, this, &SingleInstance::acceptConnections);
    else
        std::fprintf(stderr, "Tarnwick: later starts will open windows of their own: %s\n",
                     qPrintable(server_.errorString()));
    return Start::First;
}

bool SingleInstance::handOver(const QStringList& files)
{
    QLocalSocket socket;
    socket.connectToServer(socketPath_);
    if (!socket.waitForConnected(AnswerWaitMs))
        return false;
    socket.write(encodeFiles(files));
    if (!socket.waitForBytesWritten(AnswerWaitMs))
        return false;
    // The answer comes once the files are in the list; a window that is busy
    // takes them in later.
    socket.waitForReadyRead(AnswerWaitMs);
    return true;
}

void SingleInstance::acceptConnections()
{
    while (QLocalSocket* socket = server_.nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        auto message = std::make_shared<QByteArray>();
        connect(socket, &QLocalSocket::readyRead, this, [this, socket, message] {
            *message += socket->readAll();
            if (message->size() > MaxMessage) {
                socket->abort();
                return;
            }
            if (!isComplete(*message))
                return;
            const QStringList files = decodeFiles(*message);
            message->clear();
            // Adding a folder yields to events, and the sender may be gone
            // by the time it is done.
            const QPointer<QLocalSocket> guard(socket);
            emit filesArrived(files);
            if (guard) {
                guard->write("+");
                guard->flush();
            }
        });
    }
}
