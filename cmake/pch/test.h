// Precompiled for the test suites, on top of core.h or widgets.h (the
// including target chooses). Qt Test's headers include their Gui, Widgets
// and Network parts according to the QT_*_LIB macros, so all the suites
// that share one of these have the same Qt modules.
#include <QSignalSpy>
#include <QTest>
