// The floor for the start-up benchmark: a bare Qt window of the same size
// from the same build.
#include <QApplication>
#include <QWidget>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Bare"));
    window.setFixedSize(536, 446);
    window.show();
    return app.exec();
}
