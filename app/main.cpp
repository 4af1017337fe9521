#include "batchcommand.h"
#include "batchoptions.h"
#include "brokenpipes.h"
#include "clock.h"
#include "commandline.h"
#include "dbusdesktop.h"
#include "exitsignals.h"
#include "exportleftovers.h"
#include "fileattributes.h"
#include "folderscan.h"
#include "fontwarmup.h"
#include "mainwindow.h"
#include "officelink.h"
#include "officemissingmessage.h"
#include "officesession.h"
#include "pdfprofilesettings.h"
#include "qtdialogs.h"
#include "runningexport.h"
#include "settingsstore.h"
#include "singleinstance.h"
#include "tarnwickapplication.h"

#include <QApplication>
#include <QDir>
#include <QScopeGuard>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

int main(int argc, char* argv[])
{
    const QStringList arguments = ProgramArguments(argc, argv);
    if (AsksForConversion(arguments))
        return RunBatchCommand(argc, argv);
    // A setting of the whole process, so made before anything else runs.
    IgnoreBrokenPipes();
    // Answered before the application object exists, which needs a display.
    const CommandLine line =
        ParseCommandLine(arguments, QDir::currentPath(), UnrepresentableArguments(argc, argv));
    if (const auto exitCode = AnswerWithoutWindow(line))
        return *exitCode;
    FontWarmUp fonts;
    TarnwickApplication app(argc, argv);
    fonts.applicationReady();
    const auto fontsEnd = qScopeGuard([&fonts] { fonts.wait(); });
    QCoreApplication::setOrganizationName(QStringLiteral("Velmora"));
    QCoreApplication::setApplicationName(QStringLiteral("Tarnwick"));
    // The menu entry that the window belongs to: its class (the application
    // name) is the entry's StartupWMClass, and Wayland's app id is this.
    QGuiApplication::setDesktopFileName(QStringLiteral("tarnwick"));
    const QString programDir = QCoreApplication::applicationDirPath();

    SettingsStore settings(SettingsStore::DefaultLocation());
    SingleInstance instance(settings.fileName());
    if (instance.claimOrHandOver(line.files) == SingleInstance::Start::HandedOver)
        return 0;
    // A Tarnwick killed outright in the middle of an export left the
    // office's temporary file beside the PDF.
    ExportLeftovers::removeOrphaned(DefaultOfficeProfileRoot());
    ClearIdleProfileTemps(DefaultOfficeProfileRoot());
    QtDialogs dialogs;
    SystemClock clock;
    UnoOfficeLink office(DefaultOfficeProgramDirs(), DefaultOfficeProfileRoot(), {},
                         WritePdfExportSettings, OfficeMissingMessage());
    RunningExport runningExport;
    // Closing the window or a signal to end ends the program at once, also
    // in the middle of an office call: the office goes first with what it
    // left behind; every setting is already on disk.
    auto exitNow = [&instance, &office, &runningExport](int code) {
        instance.close();
        office.abandon();
        // Only once the office is dead: it might still write to the file.
        runningExport.removeLeftovers();
        std::fflush(nullptr);
        std::_Exit(code);
    };
    const ExitSignals exitSignals([&](int signal) { exitNow(128 + signal); });
    DBusDesktop desktop(programDir + QStringLiteral("/tarnwick.png"), dialogs);
    Form1 window({dialogs, settings, clock, office, programDir, GetDesktopFolder,
                  [&] { exitNow(0); }, &runningExport, &desktop});
    dialogs.setParent(&window);
    desktop.setWindow(&window);
    if (!window.Form_Load())
        return 0;
    window.show();
    // Files from later starts go in as a drop once the window is shown, and
    // a start without files brings the window back.
    QObject::connect(&instance, &SingleInstance::filesArrived, &window,
                     [&window](const QStringList& files) {
                         window.setWindowState(window.windowState() & ~Qt::WindowMinimized);
                         window.raise();
                         window.activateWindow();
                         window.ListView1_OLEDragDrop(files);
                     });
    // The command line's files first, then those that came meanwhile.
    QTimer::singleShot(0, &window, [&window, &instance, &dialogs, &line] {
        window.ListView1_OLEDragDrop(line.files);
        TellNotAdded(dialogs, line.unrepresentable);
        instance.deliverFiles();
    });
    return app.exec();
}
