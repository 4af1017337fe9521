// Starts the real program under an X server (xvfb-run), finds its window and
// closes it as a window manager would; the office must end with it.
#include "officefixtures.h"

#include <QFileInfo>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include "x11windows.h"

class WindowX11Test : public QObject {
    Q_OBJECT

private slots:
    void windowAppearsAndClosingEndsTheOffice();
};

void WindowX11Test::windowAppearsAndClosingEndsTheOffice()
{
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        QSKIP("no X display; run under xvfb-run");
    QTemporaryDir home;
    const QProcessEnvironment env = x11::programEnvironment(home);
    // An installed copy may be checked instead of the one in the build.
    const QString program = qEnvironmentVariable("TW_PROGRAM", TW_PROGRAM);
    QProcess tool;
    tool.setProcessEnvironment(env);
    tool.setProcessChannelMode(QProcess::ForwardedChannels);
    tool.start(program, {});
    QVERIFY(tool.waitForStarted());

    Window window = 0;
    QTRY_VERIFY_WITH_TIMEOUT((window = x11::findMappedWindow(display, "Tarnwick")) != 0, 30000);
    XWindowAttributes attributes;
    QVERIFY(XGetWindowAttributes(display, window, &attributes));
    QCOMPARE(attributes.width, 536);
    QCOMPARE(attributes.height, 446);

    // Start-up recorded the samples beside the program it really ran.
    const QString samples = qEnvironmentVariable("TW_EXPECT_SAMPLES_DIR");
    if (!samples.isEmpty()) {
        const QSettings settings(home.filePath("config/Velmora/Tarnwick.conf"),
                                 QSettings::IniFormat);
        const QStringList recorded =
            settings.value("Tarnwick/Snapshot").toString().split('|', Qt::SkipEmptyParts);
        QCOMPARE(recorded.size(), 3);
        for (const QString& path : recorded)
            QVERIFY2(path.startsWith(samples + "/") && QFileInfo::exists(path), qPrintable(path));
    }

    // The office was started in the background; wait until it runs.
    QTRY_VERIFY_WITH_TIMEOUT(!fixtures::officeProcessesMentioning(home.path()).isEmpty(), 60000);
    const QList<pid_t> offices = fixtures::officeProcessesMentioning(home.path());

    x11::closeWindow(display, window);
    QVERIFY(tool.waitForFinished(15000));
    QCOMPARE(tool.exitStatus(), QProcess::NormalExit);
    QCOMPARE(tool.exitCode(), 0);
    for (pid_t office : offices)
        QVERIFY(fixtures::waitForProcessGone(office, 15000));
    QVERIFY(fixtures::officeProcessesMentioning(home.path()).isEmpty());
    XCloseDisplay(display);
}

QTEST_GUILESS_MAIN(WindowX11Test)
#include "tst_window_x11.moc"
