#pragma once

#include <QPixmap>
#include <QPoint>
#include <QString>

// A pointer picture from a .cur or .ico file, with the hotspot that a .cur
// file records (the centre for an .ico). Raises "Invalid picture" for a file
// that holds no picture.
struct PointerPicture {
    QPixmap pixmap;
    QPoint hotspot;
    static PointerPicture load(const QString& file);
};
