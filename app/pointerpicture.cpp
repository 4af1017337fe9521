#include "pointerpicture.h"

#include "errors.h"

#include <QFile>
#include <QtEndian>

#include <array>

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
        // Read into a buffer of its own size: through a QByteArray, GCC's
        // sanitizer builds see the reads reach past its empty buffer.
        std::array<char, 14> head{};
        if (in.read(head.data(), head.size()) == qint64(head.size()) &&
            qFromLittleEndian<quint16>(head.data() + 2) == 2)
            picture.hotspot = QPoint(qFromLittleEndian<quint16>(head.data() + 10),
                                     qFromLittleEndian<quint16>(head.data() + 12));
    }
    return picture;
}
