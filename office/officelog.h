#pragma once

#include <QLoggingCategory>

// What happens to the office: starts, ends, restarts, the watchdog's kills,
// the memory ceiling, and each call handed to the office thread. Silent
// unless turned on, for example QT_LOGGING_RULES="tarnwick.office=true".
Q_DECLARE_LOGGING_CATEGORY(lcOffice)
