#include "clock.h"
#include "exitsignals.h"
#include "mainwindow.h"
#include "officelink.h"
#include "officesession.h"
#include "qtdialogs.h"
#include "settingsstore.h"
#include "tarnwickapplication.h"

#include <QApplication>
#include <QIcon>

#include <cstdio>
#include <cstdlib>

int main(int argc, char* argv[])
{
    TarnwickApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Velmora"));
    QCoreApplication::setApplicationName(QStringLiteral("Tarnwick"));
    const QString programDir = QCoreApplication::applicationDirPath();
    // The icon beside the program; a theme lookup would cost a few ms at start.
    QApplication::setWindowIcon(QIcon(programDir + QStringLiteral("/tarnwick.png")));

    QtDialogs dialogs;
    SettingsStore settings(SettingsStore::DefaultLocation());
    SystemClock clock;
    UnoOfficeLink office(DefaultOfficeProgramDirs(), DefaultOfficeProfileRoot());
    // Closing the window or a signal to end ends the program at once, also
    // in the middle of an office call: the office goes first with what it
    // left behind; every setting is already on disk.
    auto exitNow = [&office](int code) {
        office.abandon();
        std::fflush(nullptr);
        std::_Exit(code);
    };
    const ExitSignals exitSignals([&](int signal) { exitNow(128 + signal); });
    Form1 window(
        {dialogs, settings, clock, office, programDir, GetDesktopFolder, [&] { exitNow(0); }});
    dialogs.setParent(&window);
    if (!window.Form_Load())
        return 0;
    window.show();
    return app.exec();
}
