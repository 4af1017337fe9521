#include "clock.h"
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
    // Closing the window ends the program at once, also in the middle of a
    // run: the office goes first, every setting is already on disk.
    auto endProgram = [&office] {
        office.shutdown();
        std::fflush(nullptr);
        std::_Exit(0);
    };
    Form1 window({dialogs, settings, clock, office, programDir, GetDesktopFolder, endProgram});
    dialogs.setParent(&window);
    if (!window.Form_Load())
        return 0;
    window.show();
    return app.exec();
}
