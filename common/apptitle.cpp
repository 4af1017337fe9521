#include "apptitle.h"

#include <QGuiApplication>

QString ShortenApplicationTitle(const QString& productName)
{
    QString title = productName;
    do {
        const qsizetype space = title.lastIndexOf(u' ');
        if (space < 0)
            break;
        title.truncate(space);
    } while (title.size() > 40);
    return title;
}

void SetApplicationTitle()
{
    QGuiApplication::setApplicationDisplayName(ShortenApplicationTitle(ProductName));
}

QString ApplicationTitle()
{
    return QGuiApplication::applicationDisplayName();
}
