#include "tarnwickapplication.h"

#include "applog.h"
#include "errors.h"

bool TarnwickApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        const CaughtError error = DescribeCurrentException();
        qCWarning(lcApp, "an unexpected error was ignored: %s", qPrintable(error.description));
        return false;
    }
}
