// The start-up question when no office is installed, for the launcher. It is
// a module of its own so that the launcher needs only Qt Core, which keeps
// the usual start (an office is there) quick; this needs the widgets.
#include "apptitle.h"
#include "officecheck.h"
#include "officemissingmessage.h"
#include "qtdialogs.h"

#include <QApplication>

// Asks whether to open the office's download page, opening it on Yes.
// Answers 1 when an office turned up after all, 0 when the program must end.
extern "C" Q_DECL_EXPORT int tarnwick_ask_for_office(int argc, char* argv[])
{
    QApplication app(argc, argv);
    SetApplicationTitle();
    QtDialogs dialogs;
    return CheckOfficeSuite(dialogs, OfficeMissingMessage()) ? 1 : 0;
}
