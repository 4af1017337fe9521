// The floors for the start-up benchmark: a bare Qt window of the same size
// from the same build and, with --one-label, the same window showing one
// line in the main window's font, which is what any text on the first paint
// costs at the least (reading the font configuration, one font engine, its
// glyphs).
#include <QApplication>
#include <QLabel>
#include <QWidget>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Bare"));
    window.setFixedSize(536, 446);
    if (app.arguments().contains(QStringLiteral("--one-label"))) {
        window.setFont(QFont(QStringLiteral("Arial"), 9, QFont::Bold));
        auto* label = new QLabel(QStringLiteral("OpenOffice Calc Files"), &window);
        label->move(8, 8);
    }
    window.show();
    return app.exec();
}
