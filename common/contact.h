#pragma once

#include <QString>

// Where users send screenshots of errors.
inline const QString SupportAddress = QStringLiteral("support@tarnwick.example");
