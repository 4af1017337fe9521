// Starts the real program under an X server (xvfb-run), finds its window and
// closes it as a window manager would; the office must end with it.
#include "officefixtures.h"

#include <QDBusConnection>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <memory>
#include <unistd.h>

#include "x11windows.h"

// The desktop's end of a private session bus: a notification service that
// records each notification (summary, body, desktop entry, then the
// actions), and a dock that records the taskbar entry's updates.
class RecordingDesktop : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    QList<QStringList> notes;
    QList<QVariantMap> updates;
    explicit RecordingDesktop(QDBusConnection bus)
    {
        bus.registerObject("/org/freedesktop/Notifications", this, QDBusConnection::ExportAllSlots);
        bus.registerService("org.freedesktop.Notifications");
        bus.connect({}, {}, "com.canonical.Unity.LauncherEntry", "Update", this,
                    SLOT(update(QString, QVariantMap)));
    }

public slots:
    QStringList GetCapabilities() { return {"actions", "body"}; }
    uint Notify(const QString&, uint, const QString&, const QString& summary, const QString& body,
                const QStringList& actions, const QVariantMap& hints, int)
    {
        notes << QStringList{summary, body, hints.value("desktop-entry").toString()} + actions;
        return static_cast<uint>(notes.size());
    }

private slots:
    void update(const QString& entry, const QVariantMap& properties)
    {
        if (entry == "application://tarnwick.desktop")
            updates << properties;
    }
};

class WindowX11Test : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init() { home_.reset(); }
    void windowAppearsAndClosingEndsTheOffice();
    void deadOfficeIsReapedWhileTheProgramRuns();
    void captionsAreExact();
    void withoutAnOfficeTheQuestionComesAndNoEndsIt();
    void endingInTheMiddleOfAnExport_data();
    void endingInTheMiddleOfAnExport();
    void fileArgumentsGoToOneWindow();
    void informationNeedsNoDisplay_data();
    void informationNeedsNoDisplay();
    void theDesktopHearsOfTheRun_data();
    void theDesktopHearsOfTheRun();

private:
    static QString program() { return qEnvironmentVariable("TW_PROGRAM", TW_PROGRAM); }
    // The command that runs what follows it with the office's folder hidden
    // behind `empty` in a mount namespace of its own: its libraries are gone.
    static QStringList hidingTheOffice(const QString& empty)
    {
        return {
            "unshare", "-m", "sh", "-c", R"(mount --bind "$0" /usr/lib/libreoffice && exec "$@")",
            empty};
    }
    // Starts the program on a home of its own and waits for its window and
    // for the office it starts in the background.
    void startProgram();
    // The two halves of that: the start, with `settings` as the settings
    // file when given, and the wait. The home is made unless the test made
    // it; relative arguments are taken from workingDir.
    void launchProgram(const QByteArray& settings = {}, const QStringList& arguments = {},
                       const QString& workingDir = {});
    void waitForProgram();
    // Closes the window; the program and its offices must end.
    void closeProgram();

    Display* display_ = nullptr;
    std::unique_ptr<QTemporaryDir> home_;
    std::unique_ptr<QProcess> tool_;
    Window window_ = 0;
    QList<pid_t> offices_;
    // The session bus the program is started on; none when empty.
    QString sessionBus_;
};

void WindowX11Test::initTestCase()
{
    display_ = XOpenDisplay(nullptr);
    if (!display_)
        QSKIP("no X display; run under xvfb-run");
}

void WindowX11Test::cleanupTestCase()
{
    if (display_)
        XCloseDisplay(display_);
}

void WindowX11Test::startProgram()
{
    launchProgram();
    if (!QTest::currentTestFailed())
        waitForProgram();
}

void WindowX11Test::launchProgram(const QByteArray& settings, const QStringList& arguments,
                                  const QString& workingDir)
{
    if (!home_)
        home_ = std::make_unique<QTemporaryDir>();
    if (!settings.isEmpty()) {
        QVERIFY(QDir().mkpath(home_->filePath("config/Velmora")));
        QFile file(home_->filePath("config/Velmora/Tarnwick.conf"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(settings);
    }
    tool_ = std::make_unique<QProcess>();
    QProcessEnvironment env = x11::programEnvironment(*home_);
    if (!sessionBus_.isEmpty())
        env.insert("DBUS_SESSION_BUS_ADDRESS", sessionBus_);
    tool_->setProcessEnvironment(env);
    tool_->setProcessChannelMode(QProcess::ForwardedChannels);
    tool_->setWorkingDirectory(workingDir);
    // An installed copy may be checked instead of the one in the build.
    tool_->start(program(), arguments);
    QVERIFY(tool_->waitForStarted());
}

void WindowX11Test::waitForProgram()
{
    QTRY_VERIFY_WITH_TIMEOUT((window_ = x11::findMappedWindow(display_, "Tarnwick")) != 0, 30000);
    // The launcher became the real program: same process.
    QCOMPARE(x11::windowPid(display_, window_), static_cast<pid_t>(tool_->processId()));
    QVERIFY(!x11::isDialog(display_, window_));
    QTRY_VERIFY_WITH_TIMEOUT(!fixtures::officeProcessesMentioning(home_->path()).isEmpty(), 60000);
    offices_ = fixtures::officeProcessesMentioning(home_->path());
}

void WindowX11Test::closeProgram()
{
    x11::closeWindow(display_, window_);
    QVERIFY(tool_->waitForFinished(15000));
    QCOMPARE(tool_->exitStatus(), QProcess::NormalExit);
    QCOMPARE(tool_->exitCode(), 0);
    for (pid_t office : offices_)
        QVERIFY(fixtures::waitForProcessGone(office, 15000));
    QVERIFY(fixtures::officeProcessesMentioning(home_->path()).isEmpty());
}

void WindowX11Test::windowAppearsAndClosingEndsTheOffice()
{
    startProgram();
    if (QTest::currentTestFailed())
        return;
    XWindowAttributes attributes;
    QVERIFY(XGetWindowAttributes(display_, window_, &attributes));
    QCOMPARE(attributes.width, 536);
    QCOMPARE(attributes.height, 446);

    // Start-up recorded the samples beside the program it really ran.
    const QString samples = qEnvironmentVariable("TW_EXPECT_SAMPLES_DIR");
    if (!samples.isEmpty()) {
        const QSettings settings(home_->filePath("config/Velmora/Tarnwick.conf"),
                                 QSettings::IniFormat);
        const QStringList recorded =
            settings.value("Tarnwick/Snapshot").toString().split(QChar(0), Qt::SkipEmptyParts);
        QCOMPARE(recorded.size(), 3);
        for (const QString& path : recorded)
            QVERIFY2(path.startsWith(samples + "/") && QFileInfo::exists(path), qPrintable(path));
    }
    closeProgram();
}

void WindowX11Test::deadOfficeIsReapedWhileTheProgramRuns()
{
    startProgram();
    if (QTest::currentTestFailed())
        return;
    const pid_t office = offices_.first();
    ::kill(office, SIGKILL);
    // No "<defunct>" office under the program while it waits for work.
    QTRY_VERIFY_WITH_TIMEOUT(!fixtures::inProcessTable(office), 1000);
    QCOMPARE(tool_->state(), QProcess::Running);
    QVERIFY(x11::findMappedWindow(display_, "Tarnwick") != 0);
    closeProgram();
}

void WindowX11Test::captionsAreExact()
{
    // A stored option that is no truth value fails its start-up step: the
    // error report comes before the window, under its own caption and no
    // other (the window system must not append the program's name).
    launchProgram("[Tarnwick]\nOption1=maybe\n");
    Window report = 0;
    QTRY_VERIFY_WITH_TIMEOUT((report = x11::findMappedWindow(display_, "Application Error")) != 0,
                             30000);
    x11::closeWindow(display_, report);
    waitForProgram();
    if (QTest::currentTestFailed())
        return;
    // Docks match the window to its menu entry by its class.
    XClassHint hint{};
    QVERIFY(XGetClassHint(display_, window_, &hint));
    const QString windowClass = QString::fromLatin1(hint.res_class);
    XFree(hint.res_name);
    XFree(hint.res_class);
    QFile entry(TW_SOURCE_DIR "/cmake/tarnwick.desktop");
    QVERIFY(entry.open(QIODevice::ReadOnly));
    QVERIFY2(QString(entry.readAll()).split('\n').contains("StartupWMClass=" + windowClass),
             qPrintable(windowClass));
    closeProgram();
}

void WindowX11Test::withoutAnOfficeTheQuestionComesAndNoEndsIt()
{
    if (::geteuid() != 0)
        QSKIP("hiding the office needs a mount namespace: run as root");
    QTemporaryDir empty;
    home_ = std::make_unique<QTemporaryDir>();
    tool_ = std::make_unique<QProcess>();
    tool_->setProcessEnvironment(x11::programEnvironment(*home_));
    tool_->setProcessChannelMode(QProcess::ForwardedChannels);
    tool_->start("unshare", hidingTheOffice(empty.path()).mid(1) << program());
    QVERIFY(tool_->waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT((window_ = x11::findMappedWindow(display_, "Tarnwick")) != 0, 30000);
    QVERIFY(x11::isDialog(display_, window_));
    QCOMPARE(x11::windowPid(display_, window_), static_cast<pid_t>(tool_->processId()));

    // Closing the question answers No: the program ends, having started
    // nothing and made no office profile.
    x11::closeWindow(display_, window_);
    QVERIFY(tool_->waitForFinished(15000));
    QCOMPARE(tool_->exitStatus(), QProcess::NormalExit);
    QCOMPARE(tool_->exitCode(), 0);
    QVERIFY(fixtures::officeProcessesMentioning(home_->path()).isEmpty());
    QVERIFY(!QFileInfo::exists(home_->filePath("cache/Velmora")));
}

void WindowX11Test::endingInTheMiddleOfAnExport_data()
{
    QTest::addColumn<int>("signal");
    QTest::newRow("window closed") << 0;
    QTest::newRow("SIGTERM") << SIGTERM;
    QTest::newRow("SIGINT") << SIGINT;
    QTest::newRow("SIGHUP") << SIGHUP;
    // The office dies with it; the next start removes what they left.
    QTest::newRow("SIGKILL, then a new start") << SIGKILL;
}

void WindowX11Test::endingInTheMiddleOfAnExport()
{
    QFETCH(int, signal);
    const QTemporaryDir work;
    const QString sheet = work.filePath("long.fods");
    fixtures::writeLongSheet(sheet, 150000);
    const QString out = work.filePath("out");
    QDir().mkpath(out);
    // The samples button adds the files that the settings name.
    launchProgram(QString("[Tarnwick]\nSnapshot=%1\nText1=%2/\n").arg(sheet, out).toUtf8());
    if (!QTest::currentTestFailed())
        waitForProgram();
    if (QTest::currentTestFailed())
        return;
    x11::click(display_, window_, 400, 231); // "Load Sample/Example Files"
    Window question = 0;
    QTRY_VERIFY_WITH_TIMEOUT((question = x11::findMappedWindow(display_, "Tarnwick", window_)) != 0,
                             15000);
    x11::closeWindow(display_, question); // "No" to opening the samples' folder
    QTRY_VERIFY(x11::findMappedWindow(display_, "Tarnwick", window_) == 0);
    x11::click(display_, window_, 268, 389); // "Start Converting To PDF"
    // The office has begun writing the PDF.
    QTRY_VERIFY_WITH_TIMEOUT(!QDir(out).entryList({"lu*.tmp"}, QDir::Files).isEmpty(), 180000);
    offices_ = fixtures::officeProcessesMentioning(home_->path());
    QStringList sockets;
    for (pid_t office : offices_)
        sockets << fixtures::socketPathsOf(office);
    QVERIFY(sockets.size() >= 2); // the pipe we connect to, and the office's own
    const auto pid = static_cast<pid_t>(tool_->processId());

    if (signal)
        ::kill(pid, signal);
    else
        x11::closeWindow(display_, window_);
    // Before, the program went on until the export ended, minutes later.
    QVERIFY(tool_->waitForFinished(5000));
    for (pid_t office : offices_)
        QVERIFY(fixtures::waitForProcessGone(office, 5000));
    if (signal == SIGKILL) {
        QVERIFY(!QDir(out).entryList({"lu*.tmp"}, QDir::Files).isEmpty());
        startProgram();
        if (!QTest::currentTestFailed())
            closeProgram();
    } else {
        QCOMPARE(tool_->exitStatus(), QProcess::NormalExit);
        QCOMPARE(tool_->exitCode(), signal ? 128 + signal : 0);
    }
    QCOMPARE(QDir(out).entryList(QDir::Files | QDir::Hidden), QStringList());
    for (const QString& socket : sockets)
        QVERIFY2(!QFileInfo::exists(socket), qPrintable(socket));
    const QString pipes = QString("OSL_PIPE_%1_tarnwick_%2_*").arg(::getuid()).arg(pid);
    QCOMPARE(QDir("/tmp").entryList({pipes}, QDir::System | QDir::Files), QStringList());
    const QDir profiles(home_->filePath("cache/Velmora/Tarnwick/office-profiles"));
    QCOMPARE(profiles.entryList({"*.lock"}, QDir::Files | QDir::Hidden), QStringList());
    // Nor the socket that later starts hand their files to.
    QCOMPARE(QDir(home_->filePath("runtime")).entryList(QDir::System | QDir::Files), QStringList());
    QCOMPARE(
        QDir(profiles.filePath("profile-0/tmp")).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
        QStringList());
}

void WindowX11Test::fileArgumentsGoToOneWindow()
{
    home_ = std::make_unique<QTemporaryDir>();
    const QDir home(home_->path());
    QVERIFY(home.mkpath("in") && home.mkpath("out"));
    for (const char* name : {"a", "b", "c"})
        QVERIFY(QFile::copy(TW_SOURCE_DIR "/Samples/Budget 2026.ods",
                            home.filePath(QString("in/%1.ods").arg(name))));
    // A relative path is taken from the folder that the start was made in.
    launchProgram("[Tarnwick]\nText1=" + home.filePath("out/").toUtf8() + "\n",
                  {home.filePath("in/a.ods"), "b.ods"}, home.filePath("in"));
    waitForProgram();
    if (QTest::currentTestFailed())
        return;
    // A second start hands its file to the first window and ends.
    QProcess second;
    second.setProcessEnvironment(x11::programEnvironment(*home_));
    second.setProcessChannelMode(QProcess::ForwardedChannels);
    second.setWorkingDirectory(home.filePath("in"));
    second.start(program(), {"c.ods"});
    QVERIFY(second.waitForFinished(30000));
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 0);
    QCOMPARE(x11::findMappedWindow(display_, "Tarnwick", window_), Window(0));

    x11::click(display_, window_, 268, 389); // "Start Converting To PDF"
    // "Done." comes in a window of its own; closing it answers it.
    Window done = 0;
    QTRY_VERIFY_WITH_TIMEOUT((done = x11::findMappedWindow(display_, "Tarnwick", window_)) != 0,
                             120000);
    for (const char* name : {"a", "b", "c"})
        QVERIFY2(QFileInfo(home.filePath(QString("out/%1.pdf").arg(name))).size() > 0, name);
    x11::closeWindow(display_, done);
    QTRY_COMPARE(x11::findMappedWindow(display_, "Tarnwick", window_), Window(0));
    closeProgram();
}

void WindowX11Test::informationNeedsNoDisplay_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("output");
    QTest::newRow("help") << QStringList{"--help"} << 0 << "Usage: tarnwick [FILE|FOLDER]...";
    QTest::newRow("version") << QStringList{"-v"} << 0 << "Tarnwick ";
    QTest::newRow("help wins") << QStringList{"--bogus", "-h"} << 0 << "Usage: tarnwick";
    QTest::newRow("unknown option")
        << QStringList{"--bogus"} << 2 << "tarnwick: unknown option --bogus";
    QTest::newRow("Qt's option without its value")
        << QStringList{"-reverse", "-style"} << 2 << "tarnwick: option -style needs a value";
}

void WindowX11Test::informationNeedsNoDisplay()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, output);
    if (::geteuid() != 0)
        QSKIP("hiding the office needs a mount namespace: run as root");
    const QTemporaryDir home, empty;
    QProcessEnvironment env = x11::programEnvironment(home); // no QT_QPA_PLATFORM
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    // The launcher, with the office and without, and the real program.
    const QString launcher = QFileInfo(program()).canonicalFilePath();
    for (const QStringList& command :
         {QStringList{launcher}, hidingTheOffice(empty.path()) << launcher,
          QStringList{QFileInfo(launcher).dir().filePath("tarnwick.bin")}}) {
        QProcess tool;
        tool.setProcessEnvironment(env);
        tool.start(command.first(), command.mid(1) + arguments);
        QVERIFY(tool.waitForFinished(30000));
        const QString text = QString::fromLocal8Bit(exitCode ? tool.readAllStandardError()
                                                             : tool.readAllStandardOutput());
        QVERIFY2(tool.exitStatus() == QProcess::NormalExit && tool.exitCode() == exitCode &&
                     text.contains(output),
                 qPrintable(command.join(' ') + ": " + text));
    }
}

void WindowX11Test::theDesktopHearsOfTheRun_data()
{
    QTest::addColumn<bool>("withBus");
    QTest::newRow("session bus") << true;
    QTest::newRow("no session bus") << false;
}

void WindowX11Test::theDesktopHearsOfTheRun()
{
    QFETCH(bool, withBus);
    home_ = std::make_unique<QTemporaryDir>();
    const QDir home(home_->path());
    QVERIFY(home.mkpath("in") && home.mkpath("out"));
    // The good file first: the user has left the window before a report.
    const QString good = home.filePath("in/good.ods"), damaged = home.filePath("in/damaged.ods");
    QVERIFY(QFile::copy(TW_SOURCE_DIR "/Samples/Budget 2026.ods", good));
    fixtures::writeTruncatedCopy(good, damaged);
    QProcess bus, windowManager;
    bus.start("dbus-daemon", {"--session", "--nofork", "--print-address",
                              "--address=unix:path=" + home.filePath("bus")});
    QVERIFY(bus.waitForReadyRead(30000));
    const QString address = QString::fromUtf8(bus.readLine()).trimmed();
    RecordingDesktop desktop(QDBusConnection::connectToBus(address, address));
    sessionBus_ = withBus ? address : QString();
    windowManager.start("openbox", {"--sm-disable"});
    // The user's other window; once the window manager shows it, it handles
    // the program's windows too (a window mapped while it starts may stay unmapped).
    const Window root = DefaultRootWindow(display_),
                 other = XCreateSimpleWindow(display_, root, 0, 0, 200, 200, 0, 0, 0);
    QTRY_VERIFY_WITH_TIMEOUT(
        (XMapWindow(display_, other),
         x11::listProperty(display_, root, "_NET_CLIENT_LIST", XA_WINDOW).contains(other)),
        30000);

    launchProgram("[Tarnwick]\nText1=" + home.filePath("out/").toUtf8() + "\n", {good, damaged});
    waitForProgram();
    if (QTest::currentTestFailed())
        return;
    x11::click(display_, window_, 268, 389); // "Start Converting To PDF"
    // The user goes to the other window, and back to it after reading each
    // message of the run; each waits with the window asking for attention.
    const auto goTo = [&](Window window) {
        x11::activate(display_, window);
        QTRY_COMPARE(x11::cardinalProperty(display_, root, "_NET_ACTIVE_WINDOW", XA_WINDOW),
                     window);
    };
    goTo(other);
    int reports = 0;
    Window done = 0;
    for (const QDeadlineTimer deadline(180000); !done && !deadline.hasExpired(); QTest::qWait(20)) {
        const Window report = x11::findMappedWindow(display_, "Application Error");
        done = x11::findMappedWindow(display_, "Tarnwick", window_);
        if (report || done) {
            // It waits without taking the keyboard from the user's window.
            QCOMPARE(x11::cardinalProperty(display_, root, "_NET_ACTIVE_WINDOW", XA_WINDOW), other);
            // The urgency hint, which the window manager keeps in the state.
            QTRY_VERIFY(x11::listProperty(display_, window_, "_NET_WM_STATE", XA_ATOM)
                            .contains(XInternAtom(display_, "_NET_WM_STATE_DEMANDS_ATTENTION", 0)));
            goTo(report ? report : done);
            goTo(other);
        }
        if (report) {
            ++reports;
            x11::closeWindow(display_, report);
            QTRY_VERIFY(x11::findMappedWindow(display_, "Application Error") != report);
        }
    }
    QVERIFY(done && reports > 0);
    QVERIFY(QFileInfo(home.filePath("out/good.pdf")).size() > 0);
    if (withBus) {
        QTRY_COMPARE(desktop.notes.size(), 1);
        QCOMPARE(desktop.notes[0].mid(0, 3),
                 (QStringList{"Tarnwick", "1 of 2 files converted, 1 failed", "tarnwick"}));
        QVERIFY(desktop.notes[0].contains("open-folder"));
        QList<double> progress;
        int urgent = 0;
        bool barShown = true;
        for (const QVariantMap& update : desktop.updates) {
            if (update.contains("progress"))
                progress << update.value("progress").toDouble();
            urgent += update.value("urgent").toBool() ? 1 : 0;
            barShown = update.value("progress-visible", barShown).toBool();
        }
        QCOMPARE(progress, (QList<double>{0.0, 0.5, 1.0}));
        QVERIFY(!barShown);
        QCOMPARE(urgent, reports + 1); // every message found the window inactive
    } else {
        QVERIFY(desktop.notes.isEmpty() && desktop.updates.isEmpty());
    }
    x11::closeWindow(display_, done);
    QTRY_COMPARE(x11::findMappedWindow(display_, "Tarnwick", window_), Window(0));
    XDestroyWindow(display_, other);
    closeProgram();
    for (QProcess* helper : {&bus, &windowManager})
        helper->kill(), helper->waitForFinished();
}

QTEST_GUILESS_MAIN(WindowX11Test)
#include "tst_window_x11.moc"
