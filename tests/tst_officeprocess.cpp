#include "fileconversion.h"
#include "officeerror.h"
#include "officefixtures.h"
#include "officeprocess.h"
#include "officesession.h"
#include "officeworker.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <atomic>
#include <csignal>
#include <thread>

// However the owner of an office ends, the office ends with it, and the
// office's pipe socket is gone by the next start at the latest.
class OfficeProcessTest : public QObject {
    Q_OBJECT

private slots:
    void officeEndsWithItsOwner_data();
    void officeEndsWithItsOwner();
    void idleProfilesLoseTheirTemporaryFiles();
    void workerEnds_data();
    void workerEnds();

private:
    // Shared by the workers one after the other: set up once.
    QTemporaryDir workerProfiles_;
};

void OfficeProcessTest::officeEndsWithItsOwner_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<int>("signal"); // sent to the owner; 0 for none
    QTest::newRow("normal end") << "return" << 0;
    QTest::newRow("exit without cleanup") << "exit" << 0;
    QTest::newRow("uncaught exception") << "throw" << 0;
    QTest::newRow("terminated") << "wait" << int(SIGTERM);
    QTest::newRow("killed") << "wait" << int(SIGKILL);
    QTest::newRow("interrupted") << "wait" << int(SIGINT);
}

void OfficeProcessTest::officeEndsWithItsOwner()
{
    QFETCH(QString, mode);
    QFETCH(int, signal);
    QTemporaryDir profiles;
    QProcess owner;
    owner.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    owner.start(TW_OFFICE_OWNER, {profiles.path(), mode});
    QVERIFY(owner.waitForStarted());
    const qint64 ownerPid = owner.processId();
    QTRY_VERIFY_WITH_TIMEOUT(owner.canReadLine() || owner.state() == QProcess::NotRunning, 120000);
    const QByteArray line = owner.readLine().trimmed();
    QVERIFY2(line.startsWith("pid "), line.constData());
    const pid_t office = line.mid(4).toInt();
    QVERIFY(office > 0);
    QCOMPARE(fixtures::officeProcessesMentioning(profiles.path()), QList<pid_t>{office});

    owner.write("go\n");
    owner.waitForBytesWritten();
    if (signal)
        ::kill(static_cast<pid_t>(owner.processId()), signal);
    QVERIFY(owner.waitForFinished(30000));
    QVERIFY(fixtures::waitForProcessGone(office, 15000));
    QTRY_VERIFY_WITH_TIMEOUT(fixtures::officeProcessesMentioning(profiles.path()).isEmpty(), 15000);

    RemoveOrphanedOfficePipeSockets();
    const QFileInfo socket(OfficePipeSocketPath(QStringLiteral("tarnwick_%1_").arg(ownerPid)));
    QCOMPARE(socket.dir().entryList({socket.fileName() + QStringLiteral("*")}, QDir::System),
             QStringList());
}

void OfficeProcessTest::idleProfilesLoseTheirTemporaryFiles()
{
    // profile-0 is held by a running Tarnwick; profile-1 by none.
    QTemporaryDir profiles;
    for (const char* file :
         {"profile-0/tmp/lu1.tmp", "profile-1/tmp/lu2.tmp", "profile-1/user/a"}) {
        QVERIFY(QDir().mkpath(QFileInfo(profiles.filePath(file)).path()));
        QVERIFY(QFile(profiles.filePath(file)).open(QIODevice::WriteOnly));
    }
    QLockFile held(profiles.filePath("profile-0.lock"));
    QVERIFY(held.tryLock(0));
    ClearIdleProfileTemps(profiles.path());
    QVERIFY(QFileInfo::exists(profiles.filePath("profile-0/tmp/lu1.tmp")));
    QVERIFY(!QFileInfo::exists(profiles.filePath("profile-1/tmp")));
    QVERIFY(QFileInfo::exists(profiles.filePath("profile-1/user/a")));
    QVERIFY(!QFileInfo::exists(profiles.filePath("profile-1.lock"))); // let go again
}

void OfficeProcessTest::workerEnds_data()
{
    QTest::addColumn<QString>("end");
    QTest::newRow("destroyed after a queued job") << "destroy";
    QTest::newRow("abandoned in a call, from another thread") << "abandon from a thread";
    QTest::newRow("abandoned in a call, from the waiting thread's events") << "abandon from events";
}

void OfficeProcessTest::workerEnds()
{
    QFETCH(QString, end);
    auto worker = std::make_unique<OfficeWorker>(*LocateOffice(), workerProfiles_.path());
    OfficeSession& session = worker->session();
    const pid_t office = worker->call([&] {
        session.serviceManager();
        return session.officePid();
    });
    const QString socket = OfficePipeSocketPath(session.process().pipeName());
    const QString lock = workerProfiles_.filePath("profile-0.lock");
    QVERIFY(QFile::exists(socket));
    QVERIFY(QFileInfo::exists(lock));
    // Nothing of the office is left, and another worker may take the profile.
    const auto officeIsGone = [&] {
        QVERIFY(fixtures::officeProcessesMentioning(workerProfiles_.path()).isEmpty());
        QVERIFY(!QFile::exists(socket));
        QVERIFY(!QFileInfo::exists(lock));
    };

    if (end == "destroy") {
        bool answered = false;
        worker->post([&] { answered = session.serviceManager().is(); });
        worker.reset();
        // The queued job still had its office, which has been reaped since.
        QVERIFY(answered);
        QVERIFY(!fixtures::inProcessTable(office));
        officeIsGone();
    } else {
        const QString sheet = workerProfiles_.filePath("long.fods");
        fixtures::writeLongSheet(sheet, 20000);
        // Abandoned once the office works on the file.
        std::atomic<bool> inCall{false}, returned{false};
        const std::uint64_t ticks = ProcessCpuTicks(office);
        const auto working = [&] { return inCall && ProcessCpuTicks(office) > ticks; };
        std::thread other;
        QTimer poll;
        if (end == "abandon from a thread") {
            other = std::thread([&] {
                while (!working() && !returned)
                    std::this_thread::sleep_for(std::chrono::milliseconds(1));
                worker->abandon();
            });
        } else {
            connect(&poll, &QTimer::timeout, [&] {
                if (working()) {
                    poll.stop();
                    worker->abandon();
                }
            });
            poll.start(1);
        }
        QString error;
        try {
            worker->call([&] {
                inCall = true;
                ConvertFile(worker->operations(), sheet, workerProfiles_.filePath("long.pdf"));
            });
        } catch (const OfficeError& e) {
            error = e.description();
        }
        returned = true;
        if (other.joinable())
            other.join();
        QVERIFY2(!error.isEmpty(), "the call must fail once its office is gone");
        QVERIFY(fixtures::waitForProcessGone(office, 10000));
        officeIsGone();
        // Its shutdown finds the office gone.
        worker.reset();
    }
}

QTEST_GUILESS_MAIN(OfficeProcessTest)
#include "tst_officeprocess.moc"
