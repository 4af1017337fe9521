#pragma once

#include <QLoggingCategory>

// The socket that later starts hand their files to, and its private folder.
// Its warnings (later starts will open windows of their own) are shown;
// the rest is silent unless turned on, for example
// QT_LOGGING_RULES="tarnwick.instance.info=true".
Q_DECLARE_LOGGING_CATEGORY(lcInstance)
// The program itself: what goes wrong outside any handler.
Q_DECLARE_LOGGING_CATEGORY(lcApp)
