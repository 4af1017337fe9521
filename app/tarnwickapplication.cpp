#include "tarnwickapplication.h"

#include "errors.h"

#include <cstdio>

bool TarnwickApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        const CaughtError error = DescribeCurrentException();
        std::fprintf(stderr, "Tarnwick: an unexpected error was ignored: %s\n",
                     qPrintable(error.description));
        return false;
    }
}
