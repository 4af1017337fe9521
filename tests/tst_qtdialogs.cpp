#include "qtdialogs.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QTest>
#include <QTimer>

// The real Qt dialogs behind the dialog interface.
class QtDialogsTest : public QObject {
    Q_OBJECT

private slots:
    void lineBreaks_data();
    void lineBreaks();
};

void QtDialogsTest::lineBreaks_data()
{
    QTest::addColumn<bool>("inputBox");
    QTest::addColumn<QString>("text");
    const QString shown = "first\n\nsecond\nthird";
    for (const bool inputBox : {false, true}) {
        const char* kind = inputBox ? "input box" : "message";
        QTest::addRow("%s, CR", kind) << inputBox << "first\r\rsecond\rthird";
        QTest::addRow("%s, CR LF", kind) << inputBox << "first\r\n\r\nsecond\r\nthird";
        QTest::addRow("%s, LF", kind) << inputBox << shown;
        QTest::addRow("%s, mixed", kind) << inputBox << "first\r\n\rsecond\nthird";
    }
}

void QtDialogsTest::lineBreaks()
{
    QFETCH(bool, inputBox);
    QFETCH(QString, text);
    QtDialogs dialogs;
    QStringList labels;
    // Reads the open dialog's labels, then closes it.
    const auto openDialog = [] {
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (auto* dialog = qobject_cast<QDialog*>(widget); dialog && dialog->isVisible())
                return dialog;
        return static_cast<QDialog*>(nullptr);
    };
    QTimer::singleShot(0, [&] {
        QTRY_VERIFY(openDialog());
        QDialog* dialog = openDialog();
        for (const QLabel* label : dialog->findChildren<QLabel*>())
            labels << label->text();
        dialog->reject();
    });
    if (inputBox)
        QCOMPARE(dialogs.inputBox(text, "Tarnwick", "*"), QString());
    else
        dialogs.message(text, "Tarnwick", MessageButtons::Ok, MessageIcon::None);
    QVERIFY2(labels.contains("first\n\nsecond\nthird"), qPrintable(labels.join(" | ")));
}

QTEST_MAIN(QtDialogsTest)
#include "tst_qtdialogs.moc"
