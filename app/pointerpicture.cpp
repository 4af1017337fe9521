#include "pointerpicture.h"

#include "errors.h"

#include <QFile>
#include <QtEndian>

PointerPicture PointerPicture::load(const QString& file)
{
    PointerPicture picture{QPixmap(file), {}};
    if (picture.pixmap.isNull())
        throw TarnwickError(QStringLiteral("Invalid picture"), InvalidPicture);
    picture.hotspot = QPoint(picture.pixmap.width() / 2, picture.pixmap.height() / 2);
    // Header: reserved, type (2 = cursor), count; then the first entry, whose
    // bytes 4 to 7 hold the hotspot of a cursor.
    QFile in(file);
    if (in.open(QIODevice::ReadOnly)) {
        const QByteArray head = in.read(14);
        if (head.size() == 14 && qFromLittleEndian<quint16>(head.constData() + 2) == 2)
            picture.hotspot = QPoint(qFromLittleEndian<quint16>(head.constData() + 10),
                                     qFromLittleEndian<quint16>(head.constData() + 12));
    }
    return picture;
}
