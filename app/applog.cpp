#include "applog.h"

// Warnings by default, as for the office: each one changes what the user
// sees (a second window, an ignored error), so it must not need a setting.
Q_LOGGING_CATEGORY(lcInstance, "tarnwick.instance", QtWarningMsg)
Q_LOGGING_CATEGORY(lcApp, "tarnwick.app", QtWarningMsg)
