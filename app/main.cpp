#include "dialogs.h"
#include "samplerun.h"

#include <QApplication>
#include <QDir>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QtDialogs dialogs;
    return RunSampleConversion(dialogs, QCoreApplication::applicationDirPath(),
                               QDir::tempPath() + QStringLiteral("/tarnwick-pdf"));
}
