#include "officefixtures.h"
#include "officeprocess.h"
#include "officesession.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

// However the owner of an office ends, the office ends with it, and the
// office's pipe socket is gone by the next start at the latest.
class OfficeProcessTest : public QObject {
    Q_OBJECT

private slots:
    void officeEndsWithItsOwner_data();
    void officeEndsWithItsOwner();
    void idleProfilesLoseTheirTemporaryFiles_data();
    void idleProfilesLoseTheirTemporaryFiles();
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

void OfficeProcessTest::idleProfilesLoseTheirTemporaryFiles_data()
{
    QTest::addColumn<QString>("lock"); // its profile's lock: none, a dead owner's, held
    QTest::addColumn<bool>("emptied");
    QTest::newRow("never locked") << "none" << true;
    QTest::newRow("left by a killed Tarnwick") << "dead" << true;
    QTest::newRow("held by a running Tarnwick") << "held" << false;
}

void OfficeProcessTest::idleProfilesLoseTheirTemporaryFiles()
{
    QFETCH(QString, lock);
    QFETCH(bool, emptied);
    QTemporaryDir profiles;
    const QString profile = profiles.filePath("profile-1");
    for (const QString& file : {profile + "/tmp/lu12345abc.tmp", profile + "/user/settings.xcu"}) {
        QVERIFY(QDir().mkpath(QFileInfo(file).path()));
        QFile made(file);
        QVERIFY(made.open(QIODevice::WriteOnly));
    }
    QLockFile held(profile + ".lock");
    if (lock != "none")
        QVERIFY(held.tryLock(0));
    if (lock == "dead") {
        // Our own lock file, as a process that has ended left it.
        QProcess ended;
        ended.start("true");
        QVERIFY(ended.waitForStarted());
        const qint64 pid = ended.processId();
        QVERIFY(ended.waitForFinished());
        QFile file(profile + ".lock");
        QVERIFY(file.open(QIODevice::ReadOnly));
        QByteArrayList lines = file.readAll().split('\n');
        file.close();
        held.unlock();
        lines[0] = QByteArray::number(pid);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(lines.join('\n'));
        file.close();
    }

    ClearIdleProfileTemps(profiles.path());
    QCOMPARE(QFileInfo::exists(profile + "/tmp"), !emptied);
    QVERIFY(QFileInfo::exists(profile + "/user/settings.xcu"));
    // A lock that was taken is let go.
    QCOMPARE(QFileInfo::exists(profile + ".lock"), lock == "held");
}

QTEST_GUILESS_MAIN(OfficeProcessTest)
#include "tst_officeprocess.moc"
