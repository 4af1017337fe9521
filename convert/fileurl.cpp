#include "fileurl.h"

QString FileUrlFromPath(const QString& path, QChar sep)
{
    // An absolute POSIX path brings its own third slash; a fourth would make
    // the URL name a network host (RFC 8089), and the office writes the URL
    // it loaded into the PDF's links.
    QString url = sep == u'/' && path.startsWith(u'/') ? QStringLiteral("file://")
                                                       : QStringLiteral("file:///");
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
