#include "dialogs.h"

#include "errors.h"

QString OpenFileDialogText(const QStringList& chosenPaths, QChar sep)
{
    if (chosenPaths.isEmpty())
        return QString();
    QString text;
    if (chosenPaths.size() == 1) {
        text = chosenPaths.first();
    } else {
        // The folder that holds every chosen file, without a closing
        // separator unless it is the root, then each path below it. Files of
        // one folder give that folder and their bare names; a path typed from
        // another folder keeps the part that tells where it is.
        QString prefix = chosenPaths.first().left(chosenPaths.first().lastIndexOf(sep) + 1);
        for (const QString& path : chosenPaths)
            while (!prefix.isEmpty() && !path.startsWith(prefix))
                prefix.truncate(prefix.lastIndexOf(sep, -2) + 1);
        QStringList parts{prefix.size() > 1 ? prefix.chopped(1) : prefix};
        for (const QString& path : chosenPaths)
            parts << path.mid(prefix.size());
        text = parts.join(QChar(u'\0'));
    }
    if (text.size() > FileNameBufferSize)
        throw TarnwickError(QStringLiteral("The file name buffer is too small."),
                            FileNameBufferTooSmall);
    return text;
}
