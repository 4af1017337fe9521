#include "outputpath.h"

QString OutputPathFor(const QString& source, const QString& folder, QChar sep)
{
    const QString base = RemoveExtension(GetFileName(source, sep));
    return NormalizeBackslashes(folder + sep + base + QStringLiteral(".pdf"), sep);
}
