// A running start takes whole lists, from its own user only, and only from
// a sender that still waits for the answer.
#include "singleinstance.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QRegularExpression>
#include <QSocketNotifier>
#include <QTemporaryDir>
#include <QTest>

#include <future>
#include <sys/stat.h>
#include <unistd.h>

using Lists = QList<QStringList>;
static const QString Key = QStringLiteral("/home/someone/.config/Velmora/Tarnwick.conf");
constexpr uid_t Nobody = 65534;

class SingleInstanceTest : public QObject {
    Q_OBJECT
    QTemporaryDir base_;
    QString temp_;
    int runs_ = 0;

private slots:
    void init()
    {
        // No desktop runtime folder; a temporary folder of the test's own.
        temp_ = base_.filePath(QString::number(++runs_));
        QVERIFY(QDir().mkdir(temp_) && ::chmod(base_.path().toUtf8(), 0755) == 0);
        qputenv("TMPDIR", temp_.toUtf8());
        qunsetenv("XDG_RUNTIME_DIR");
    }

    void onlyWholeListsOfAWaitingSenderArrive_data()
    {
        QTest::addColumn<QByteArray>("message");
        QTest::addColumn<bool>("senderWaits");
        QTest::addColumn<Lists>("arrived");
        QTest::newRow("two files")
            << QByteArray("/a.ods\0/b.ods\0\0", 16) << true << Lists{{"/a.ods", "/b.ods"}};
        QTest::newRow("sender leaves midway") << QByteArray("/a.ods\0/b", 9) << false << Lists{};
        QTest::newRow("sender gave up on a busy window")
            << QByteArray("/a.ods\0\0", 8) << false << Lists{};
        QTest::newRow("oversized") << QByteArray(16 * 1024 * 1024 + 1, 'x') << true << Lists{};
    }

    void onlyWholeListsOfAWaitingSenderArrive()
    {
        QFETCH(QByteArray, message);
        QFETCH(bool, senderWaits);
        QFETCH(Lists, arrived);
        SingleInstance running(Key);
        QCOMPARE(running.claimOrHandOver({}), SingleInstance::Start::First);
        Lists got;
        connect(&running, &SingleInstance::filesArrived, [&](const QStringList& f) { got << f; });
        QLocalSocket sender;
        sender.connectToServer(running.socketPath());
        QVERIFY(sender.waitForConnected());
        sender.write(message);
        if (senderWaits)
            QTRY_VERIFY(sender.bytesAvailable() ||
                        sender.state() == QLocalSocket::UnconnectedState);
        else
            QVERIFY(sender.waitForBytesWritten()); // and leaves before this thread reads
        QCOMPARE(sender.readAll(), QByteArray(arrived.isEmpty() ? "" : "+"));
        sender.close();
        // A later start, accepted after the sender: once every connection
        // has ended, the sender's has.
        auto later = std::async(std::launch::async,
                                [] { return SingleInstance(Key, 60000).claimOrHandOver({}); });
        QTRY_VERIFY_WITH_TIMEOUT(
            later.wait_for(std::chrono::seconds(0)) == std::future_status::ready, 60000);
        QCOMPARE(later.get(), SingleInstance::Start::HandedOver);
        QTRY_VERIFY(running.findChildren<QSocketNotifier*>().isEmpty());
        QCOMPARE(got, Lists{}); // until the window can take them
        running.deliverFiles();
        QCOMPARE(got, arrived + Lists{{}});
    }

    void aStartWithoutAnswerLeavesTheBusyWindowItsSocket()
    {
        SingleInstance running(Key);
        QCOMPARE(running.claimOrHandOver({}), SingleInstance::Start::First);
        // Busy: this thread handles no events meanwhile. The user is told
        // why a second window opens.
        QTest::ignoreMessage(QtWarningMsg, "the running window does not answer; this start "
                                           "opens a window of its own");
        QCOMPARE(SingleInstance(Key, 100).claimOrHandOver({"/a.ods"}),
                 SingleInstance::Start::First);
        QLocalSocket later;
        later.connectToServer(running.socketPath());
        QVERIFY(later.waitForConnected());
    }

    void anotherUserIsNeverTrusted_data()
    {
        QTest::addColumn<bool>("ourFolderLeftOpen");
        QTest::newRow("a stranger took our folder") << false;
        QTest::newRow("our folder left open, with a stranger's lock") << true;
    }

    void anotherUserIsNeverTrusted()
    {
        QFETCH(bool, ourFolderLeftOpen);
        if (::geteuid() != 0)
            QSKIP("the stranger is user nobody: run as root");
        const QString name = QFileInfo(SingleInstance(Key).socketPath()).fileName();
        const QString ours = temp_ + QString("/tarnwick-%1").arg(::geteuid());
        QVERIFY(QDir().rmdir(ours) && QDir().mkdir(ours) && // rmdir: made by the line above
                (ourFolderLeftOpen ? ::chmod(ours.toUtf8(), 0777)
                                   : ::chown(ours.toUtf8(), Nobody, 0)) == 0);
        // The stranger listens, and holds a lock of a process that runs.
        QLocalServer stranger;
        QLockFile strangersLock(ours + "/" + name + ".lock");
        QVERIFY(::seteuid(Nobody) == 0);
        const bool made =
            stranger.listen(ours + "/" + name) && (!ourFolderLeftOpen || strangersLock.lock());
        QVERIFY(::seteuid(0) == 0 && made);
        if (!ourFolderLeftOpen)
            QTest::ignoreMessage(QtWarningMsg,
                                 QRegularExpression(" belongs to another user; later starts will "
                                                    "open windows of their own$"));
        SingleInstance start(Key);
        QCOMPARE(start.claimOrHandOver({"/secret.ods"}), SingleInstance::Start::First);
        // The start listens where the stranger did, in a folder made private
        // again, with no lock left; without a folder of its own, nowhere.
        QCOMPARE(start.socketPath(), ourFolderLeftOpen ? ours + "/" + name : QString());
        struct stat folder {};
        struct stat socket {};
        QVERIFY(!ourFolderLeftOpen ||
                (::stat(ours.toUtf8(), &folder) == 0 && (folder.st_mode & 07777) == 0700 &&
                 ::stat(start.socketPath().toUtf8(), &socket) == 0 &&
                 socket.st_uid == ::geteuid() && !QFileInfo::exists(strangersLock.fileName())));
    }
};

QTEST_GUILESS_MAIN(SingleInstanceTest)
#include "tst_singleinstance.moc"
