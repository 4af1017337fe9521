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
        // The folder of the first file, without a closing separator unless it
        // is the root, then each name.
        QString folder = chosenPaths.first().left(chosenPaths.first().lastIndexOf(sep));
        if (folder.isEmpty())
            folder = sep;
        QStringList parts{folder};
        for (const QString& path : chosenPaths)
            parts << path.mid(path.lastIndexOf(sep) + 1);
        text = parts.join(QChar(u'\0'));
    }
    if (text.size() > FileNameBufferSize)
        throw TarnwickError(QStringLiteral("The file name buffer is too small."),
                            FileNameBufferTooSmall);
    return text;
}
