#include "fileurl.h"

QString FileUrlFromPath(const QString& path, QChar sep)
{
    QString url = QStringLiteral("file:///");
    url.reserve(url.size() + path.size());
    for (const QChar c : path) {
        if (c == sep)
            url += u'/';
        else if (c == u'%')
            url += QStringLiteral("%25");
        else if (c == u'#')
            url += QStringLiteral("%23");
        else if (c == u'?')
            url += QStringLiteral("%3F");
        else
            url += c;
    }
    return url;
}
