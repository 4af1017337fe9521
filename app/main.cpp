#include "dialogs.h"
#include "samplerun.h"

#include <QApplication>
#include <QDir>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Velmora"));
    QCoreApplication::setApplicationName(QStringLiteral("Tarnwick"));
    QtDialogs dialogs;
    return RunSampleConversion(dialogs, QCoreApplication::applicationDirPath(),
                               QDir::tempPath() + QStringLiteral("/tarnwick-pdf"));
}
