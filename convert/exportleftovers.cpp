#include "exportleftovers.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QRegularExpression>

ExportLeftovers::ExportLeftovers(const QString& targetPath)
{
    const QFileInfo target(targetPath);
    folder_ = target.absolutePath();
    targetName_ = target.fileName();
    before_ = present();
}

bool ExportLeftovers::isOfficeLeftover(const QString& name, const QString& targetName)
{
    static const QRegularExpression temporary(QStringLiteral("^lu[0-9A-Za-z]+\\.tmp$"));
    return temporary.match(name).hasMatch() ||
           (!targetName.isEmpty() && name == QStringLiteral(".~lock.%1#").arg(targetName));
}

QSet<QString> ExportLeftovers::present() const
{
    // The name filters come first, so the other files of a large folder cost
    // no more than their directory entry.
    QSet<QString> names;
    QDirIterator it(folder_, {QStringLiteral("lu*.tmp"), QStringLiteral(".~lock.*#")},
                    QDir::Files | QDir::Hidden | QDir::System);
    while (it.hasNext()) {
        it.next();
        const QString name = it.fileName();
        if (isOfficeLeftover(name, targetName_))
            names.insert(name);
    }
    return names;
}

void ExportLeftovers::removeNew() const
{
    const QDir dir(folder_);
    for (const QString& name : present())
        if (!before_.contains(name))
            QFile::remove(dir.filePath(name));
}
