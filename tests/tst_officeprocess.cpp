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

QTEST_GUILESS_MAIN(OfficeProcessTest)
#include "tst_officeprocess.moc"
