#pragma once

#include <QString>

// The product name: also the settings section and the window caption.
inline const QString ProductName = QStringLiteral("Tarnwick");

// Cuts the name at its last space, then again while it is longer than 40
// characters. A name without a space stays as it is.
QString ShortenApplicationTitle(const QString& productName);

// The program-wide title that captions every message box and input box
// naming none of its own. It is the product name until SetApplicationTitle
// sets the shortened one. It is kept apart from Qt's application display
// name, which the window system would append to every other window's caption.
void SetApplicationTitle();
QString ApplicationTitle();
