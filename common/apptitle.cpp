#include "apptitle.h"

namespace {
// The one program-wide value; set once by the window's load step.
QString& title()
{
    static QString value = ProductName;
    return value;
}
} // namespace

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
    title() = ShortenApplicationTitle(ProductName);
}

QString ApplicationTitle()
{
    return title();
}
