#include "singleinstance.h"

#include "applog.h"
#include "filelock.h"
#include "privatefolder.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QFile>
#include <QSocketNotifier>

#include <cerrno>
#include <cstring>
#include <functional>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
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
// Later starts that may wait to be accepted while the window is busy.
constexpr int Backlog = 50;

// False, with ENAMETOOLONG, when the path does not fit a socket address.
bool toAddress(const QString& path, sockaddr_un* address)
{
    const QByteArray name = QFile::encodeName(path);
    address->sun_family = AF_UNIX;
    if (name.size() >= qsizetype(sizeof address->sun_path)) {
        errno = ENAMETOOLONG;
        return false;
    }
    std::memcpy(address->sun_path, name.constData(), name.size() + 1);
    return true;
}

// Makes a blocking call on `socket` give up once `deadline` has passed (with
// ETIMEDOUT or EAGAIN), and makes it again when a signal interrupted it.
template <typename Call> auto untilDeadline(int socket, const QDeadlineTimer& deadline, Call call)
{
    for (;;) {
        const qint64 leftMs = deadline.remainingTime();
        timeval left{};
        left.tv_sec = leftMs / 1000;
        left.tv_usec = leftMs % 1000 * 1000;
        if (leftMs <= 0 || ::setsockopt(socket, SOL_SOCKET, SO_SNDTIMEO, &left, sizeof left) != 0 ||
            ::setsockopt(socket, SOL_SOCKET, SO_RCVTIMEO, &left, sizeof left) != 0) {
            errno = ETIMEDOUT;
            return decltype(call())(-1);
        }
        const auto result = call();
        if (result >= 0 || errno != EINTR)
            return result;
    }
}

// One later start's connection: it gathers the list and answers once the
// list is held, until the sender leaves or says too much.
class Connection : public QObject {
public:
    Connection(UniqueFd socket, std::function<void(const QStringList&)> take, QObject* parent)
        : QObject(parent), socket_(std::move(socket)), take_(std::move(take))
    {
        connect(&readable_, &QSocketNotifier::activated, this, &Connection::read);
    }

private:
    void read()
    {
        char chunk[64 * 1024];
        for (;;) {
            const ssize_t got = ::read(socket_.get(), chunk, sizeof chunk);
            if (got < 0 && errno == EAGAIN)
                break;
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0 || (message_.append(chunk, got)).size() > MaxMessage) {
                end();
                return;
            }
        }
        if (!isComplete(message_))
            return;
        const QStringList files = decodeFiles(std::exchange(message_, {}));
        // A sender that stopped waiting opens a window of its own and keeps
        // its files.
        if (::send(socket_.get(), "+", 1, MSG_NOSIGNAL) == 1)
            take_(files);
        else
            end();
    }

    void end()
    {
        readable_.setEnabled(false);
        deleteLater();
    }

    UniqueFd socket_;
    QSocketNotifier readable_{socket_.get(), QSocketNotifier::Read, this};
    std::function<void(const QStringList&)> take_;
    QByteArray message_;
};
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
    const FileLock lock(lockPath, LockWaitMs);
    switch (handOver(files)) {
    case Answer::Taken:
        qCInfo(lcInstance) << "handed" << files.size() << "files to the running window";
        return Start::HandedOver;
    case Answer::Silent:
        qCWarning(lcInstance, "the running window does not answer; this start opens a window of "
                              "its own");
        return Start::First;
    case Answer::NoOneListens: // left by a start that ended without removing it
    case Answer::Stranger:
        break;
    }
    listen();
    return Start::First;
}

SingleInstance::~SingleInstance()
{
    close();
}

void SingleInstance::close()
{
    if (!listener_)
        return;
    listening_.reset();
    listener_.reset();
    ::unlink(QFile::encodeName(socketPath_).constData());
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
    const QDeadlineTimer deadline(answerWaitMs_);
    sockaddr_un address{};
    const UniqueFd socket(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (!socket || !toAddress(socketPath_, &address))
        return Answer::NoOneListens;
    // A window that is busy answers later, and its queue of later starts may
    // be full; either way it listens, and it keeps its socket.
    if (untilDeadline(socket.get(), deadline, [&] {
            return ::connect(socket.get(), reinterpret_cast<const sockaddr*>(&address),
                             sizeof address);
        }) != 0)
        return errno == EAGAIN || errno == ETIMEDOUT ? Answer::Silent : Answer::NoOneListens;
    if (!PeerIsThisUser(socket.get()))
        return Answer::Stranger;
    const QByteArray message = encodeFiles(files);
    for (qsizetype sent = 0; sent < message.size();) {
        const ssize_t written = untilDeadline(socket.get(), deadline, [&] {
            return ::send(socket.get(), message.constData() + sent, message.size() - sent,
                          MSG_NOSIGNAL);
        });
        if (written < 0)
            return Answer::Silent;
        sent += written;
    }
    // The answer comes once the running start holds the files.
    char answer = 0;
    return untilDeadline(socket.get(), deadline,
                         [&] { return ::recv(socket.get(), &answer, 1, 0); }) == 1 &&
                   answer == '+'
               ? Answer::Taken
               : Answer::Silent;
}

void SingleInstance::listen()
{
    const QByteArray name = QFile::encodeName(socketPath_);
    // Left by a start that ended without removing it, or by a stranger.
    ::unlink(name.constData());
    sockaddr_un address{};
    UniqueFd socket(::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    // The socket file takes the socket's own mode (less the umask) when it
    // is made: it is never open to others, not even for a moment.
    const bool made =
        socket && toAddress(socketPath_, &address) &&
        ::fchmod(socket.get(), S_IRUSR | S_IWUSR) == 0 &&
        ::bind(socket.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    if (!made || ::listen(socket.get(), Backlog) != 0) {
        const int error = errno;
        if (made)
            ::unlink(name.constData());
        qCWarning(lcInstance, "later starts will open windows of their own: %s",
                  std::strerror(error));
        return;
    }
    listener_ = std::move(socket);
    qCInfo(lcInstance) << "listening on" << socketPath_;
    listening_ = std::make_unique<QSocketNotifier>(listener_.get(), QSocketNotifier::Read);
    connect(listening_.get(), &QSocketNotifier::activated, this,
            &SingleInstance::acceptConnections);
}

void SingleInstance::acceptConnections()
{
    for (;;) {
        UniqueFd socket(::accept4(listener_.get(), nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC));
        if (!socket && (errno == EINTR || errno == ECONNABORTED))
            continue;
        if (!socket)
            return; // none waits any more
        if (PeerIsThisUser(socket.get()))
            new Connection(
                std::move(socket), [this](const QStringList& files) { take(files); }, this);
    }
}

void SingleInstance::take(const QStringList& files)
{
    if (delivering_)
        emit filesArrived(files);
    else
        waiting_ << files;
}
