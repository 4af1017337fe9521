#include "officelog.h"

// Warnings only by default: the events themselves are logged as info.
Q_LOGGING_CATEGORY(lcOffice, "tarnwick.office", QtWarningMsg)
