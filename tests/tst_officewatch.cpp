#include "officeerror.h"
#include "officefixtures.h"
#include "officeprocess.h"
#include "watchdog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <csignal>
#include <fcntl.h>
#include <thread>
#include <unistd.h>

using namespace std::chrono_literals;

// The office process and the watchdog with a stand-in for the office (a
// script that sleeps, spins, ignores SIGTERM or forks a helper), so that
// their rules are checked in seconds.
class OfficeWatchTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void childStartsClean_data();
    void childStartsClean();
    void officeEndsWithItsGroupAndSocket_data();
    void officeEndsWithItsGroupAndSocket();
    void newProfileIsServedAtOnce();
    void watchdogTellsWorkFromAHang_data();
    void watchdogTellsWorkFromAHang();

private:
    // A stand-in office in the given mode, on a profile of its own.
    std::unique_ptr<OfficeProcess> standIn(const QString& mode,
                                           std::uint64_t memory = DefaultOfficeMemoryCeiling());
    static QByteArray statusField(pid_t pid, const QByteArray& name);
    // Running, or stopped: not ended.
    static bool alive(pid_t pid);

    QTemporaryDir dir_;
    OfficeInstallation installation_;
    int profiles_ = 0;
};

void OfficeWatchTest::initTestCase()
{
    installation_.programDir = dir_.path();
    QVERIFY(
        QFile::copy(TW_SOURCE_DIR "/tests/support/standin-office.sh", installation_.executable()));
    QVERIFY(QFile::setPermissions(installation_.executable(),
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    qputenv("STANDIN_DIR", QFile::encodeName(dir_.path()));
}

std::unique_ptr<OfficeProcess> OfficeWatchTest::standIn(const QString& mode, std::uint64_t memory)
{
    QFile::remove(dir_.filePath("helper.pid"));
    qputenv("STANDIN_MODE", mode.toUtf8());
    return std::make_unique<OfficeProcess>(
        installation_, dir_.filePath(QStringLiteral("profile-%1").arg(++profiles_)), memory);
}

QByteArray OfficeWatchTest::statusField(pid_t pid, const QByteArray& name)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return {};
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(name + ':'))
            return line.mid(name.size() + 1).trimmed();
    return {};
}

bool OfficeWatchTest::alive(pid_t pid)
{
    const QByteArray state = statusField(pid, "State");
    return !state.isEmpty() && !state.startsWith('Z');
}

void OfficeWatchTest::childStartsClean_data()
{
    QTest::addColumn<bool>("fromPassingThread");
    QTest::newRow("started here") << false;
    QTest::newRow("started from a thread that ends at once") << true;
}

void OfficeWatchTest::childStartsClean()
{
    QFETCH(bool, fromPassingThread);
    // What the child must not inherit: an open descriptor without
    // close-on-exec, an ignored signal, a blocked one.
    const int inherited = ::open("/dev/null", O_RDONLY);
    QVERIFY(inherited > 2);
    const auto oldPipe = std::signal(SIGPIPE, SIG_IGN);
    sigset_t usr1, oldMask;
    sigemptyset(&usr1);
    sigaddset(&usr1, SIGUSR1);
    pthread_sigmask(SIG_BLOCK, &usr1, &oldMask);

    const std::uint64_t ceiling = 3ull << 30;
    auto office = standIn("sleep", ceiling);
    if (fromPassingThread)
        std::thread([&] { office->start(); }).join();
    else
        office->start();
    ::close(inherited);
    std::signal(SIGPIPE, oldPipe);
    pthread_sigmask(SIG_SETMASK, &oldMask, nullptr);

    QTRY_VERIFY(office->pid() > 0);
    const pid_t pid = office->pid();
    // The stand-in has exec'd sleep once its socket is there.
    QTRY_VERIFY(QFile::exists(OfficePipeSocketPath(office->pipeName())));
    QTRY_COMPARE(QFile::symLinkTarget(QStringLiteral("/proc/%1/exe").arg(pid)),
                 QFileInfo(QStandardPaths::findExecutable("sleep")).canonicalFilePath());
    // Standard input, output and error at most.
    const QStringList fds = QDir(QStringLiteral("/proc/%1/fd").arg(pid))
                                .entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& fd : fds)
        QVERIFY2(fd.toInt() <= 2, qPrintable(fds.join(' ')));
    QCOMPARE(statusField(pid, "SigIgn"), QByteArray("0000000000000000"));
    QCOMPARE(statusField(pid, "SigBlk"), QByteArray("0000000000000000"));
    QCOMPARE(::getpgid(pid), pid);
    QFile limits(QStringLiteral("/proc/%1/limits").arg(pid));
    QVERIFY(limits.open(QIODevice::ReadOnly));
    const QString addressSpace =
        QString::fromLatin1(limits.readAll()).section("Max address space", 1);
    QCOMPARE(addressSpace.simplified().section(' ', 0, 0), QString::number(ceiling));
    // The thread that asked for the office has ended; the office has not.
    QVERIFY(office->running());
    QVERIFY(alive(pid));
}

void OfficeWatchTest::officeEndsWithItsGroupAndSocket_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("end"); // stop, kill the office from outside, or abandon
    QTest::newRow("stopped") << "sleep"
                             << "stop";
    QTest::newRow("stopped, ignoring SIGTERM") << "ignore-term"
                                               << "stop";
    QTest::newRow("stopped, with a helper") << "helper"
                                            << "stop";
    QTest::newRow("killed from outside, leaving a helper") << "helper"
                                                           << "kill";
    QTest::newRow("abandoned, with a helper") << "helper"
                                              << "abandon";
}

void OfficeWatchTest::officeEndsWithItsGroupAndSocket()
{
    QFETCH(QString, mode);
    QFETCH(QString, end);
    auto office = standIn(mode);
    office->start();
    QTRY_VERIFY(office->pid() > 0);
    const pid_t pid = office->pid();
    const QString socket = OfficePipeSocketPath(office->pipeName());
    QTRY_VERIFY(QFile::exists(socket));
    pid_t helper = 0;
    const auto readHelper = [&] {
        QFile file(dir_.filePath("helper.pid"));
        return file.open(QIODevice::ReadOnly) ? file.readAll().trimmed().toInt() : 0;
    };
    if (mode == "helper")
        QTRY_VERIFY((helper = readHelper()) > 0);

    if (end == "stop") {
        office->stop();
        // stop() does not wait: an office that ignores SIGTERM is still there.
        if (mode == "ignore-term")
            QVERIFY(alive(pid));
    } else if (end == "kill") {
        QCOMPARE(::kill(pid, SIGKILL), 0);
    } else {
        office->abandon();
        QVERIFY(!QFile::exists(socket));
        QVERIFY_THROWS_EXCEPTION(OfficeError, office->start());
    }
    QVERIFY(fixtures::waitForProcessGone(pid, 10000));
    if (helper)
        QVERIFY(fixtures::waitForProcessGone(helper, 10000));
    QTRY_VERIFY(!QFile::exists(socket));
    QTRY_VERIFY(!office->running());
}

void OfficeWatchTest::newProfileIsServedAtOnce()
{
    // The first office on a new profile sets it up and exits with 81; the
    // next one serves.
    auto office = standIn("new-profile");
    office->start();
    QTRY_VERIFY(QFileInfo::exists(office->profileDir() + "/user") && office->pid() > 0 &&
                !office->startedOnNewProfile());
    QVERIFY(office->running());
    const pid_t pid = office->pid();
    QVERIFY(alive(pid));
    const QString socket = OfficePipeSocketPath(office->pipeName());
    QTRY_VERIFY(QFile::exists(socket));
    // Only the serving office's socket is left; it goes with its office.
    QCOMPARE(QDir("/tmp").entryList({"OSL_PIPE_*_" + office->pipeName().section('_', 0, 1) + "_*"},
                                    QDir::Files | QDir::System),
             QStringList{QFileInfo(socket).fileName()});
    office.reset();
    QVERIFY(!QFile::exists(socket));
    QVERIFY(fixtures::waitForProcessGone(pid, 10000));
}

void OfficeWatchTest::watchdogTellsWorkFromAHang_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<bool>("stopped"); // SIGSTOP once running
    QTest::addColumn<int>("noProgressMs");
    QTest::addColumn<int>("longestMs");
    QTest::addColumn<bool>("hung");
    QTest::newRow("sleeping: hung") << "sleep" << false << 500 << 3600000 << true;
    QTest::newRow("stopped: hung") << "spin" << true << 500 << 3600000 << true;
    QTest::newRow("working longer than the no-progress limit")
        << "spin" << false << 500 << 3600000 << false;
    QTest::newRow("working longer than the longest call")
        << "spin" << false << 3600000 << 500 << true;
}

void OfficeWatchTest::watchdogTellsWorkFromAHang()
{
    QFETCH(QString, mode);
    QFETCH(bool, stopped);
    QFETCH(int, noProgressMs);
    QFETCH(int, longestMs);
    QFETCH(bool, hung);
    auto office = standIn(mode);
    office->start();
    QTRY_VERIFY(office->pid() > 0);
    const pid_t pid = office->pid();
    if (stopped)
        QCOMPARE(::kill(pid, SIGSTOP), 0);
    std::atomic<int> timeouts{0};
    Watchdog watchdog(
        {std::chrono::milliseconds(noProgressMs), std::chrono::milliseconds(longestMs)},
        [&] { return office->cpuTime(); },
        [&] {
            ++timeouts;
            office->signal(SIGKILL);
        });
    const std::uint64_t cpuAtStart = office->cpuTime();
    watchdog.arm();
    if (hung) {
        QTRY_VERIFY_WITH_TIMEOUT(watchdog.fired(), 30000);
        QVERIFY(watchdog.disarm());
        QVERIFY(fixtures::waitForProcessGone(pid, 10000));
        QCOMPARE(timeouts.load(), 1);
    } else {
        // Its CPU time, and so the call, has gone on for three times the
        // limit.
        const std::uint64_t ticks = 3 * noProgressMs * ::sysconf(_SC_CLK_TCK) / 1000;
        QTRY_VERIFY_WITH_TIMEOUT(office->cpuTime() >= cpuAtStart + ticks, 60000);
        QVERIFY(!watchdog.disarm());
        QVERIFY(office->running());
        QCOMPARE(timeouts.load(), 0);
    }
}

QTEST_GUILESS_MAIN(OfficeWatchTest)
#include "tst_officewatch.moc"
