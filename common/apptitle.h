#pragma once

#include <QString>

// The product name: also the settings section and the window caption.
inline const QString ProductName = QStringLiteral("Tarnwick");

// Cuts the name at its last space, then again while it is longer than 40
// characters. A name without a space stays as it is.
QString ShortenApplicationTitle(const QString& productName);

// Sets the program-wide title that captions message boxes naming none of
// their own; ApplicationTitle() reads it back.
void SetApplicationTitle();
QString ApplicationTitle();
