#include "filelistmodel.h"
#include "windowharness.h"

#include <QApplication>
#include <QFrame>
#include <QGroupBox>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QTreeView>

// The window's pointer and reordering rows by dragging.
class PointerTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void reorder_data();
    void reorder();
    void hover_data();
    void hover();
    void hourglassStaysDuringARun();
    void hourglassStaysDuringAFolderScan();
    void listPointerAfterClickAndRelease_data();
    void listPointerAfterClickAndRelease();
    void draggingNearTheEdgeScrolls_data();
    void draggingNearTheEdgeScrolls();

private:
    QTreeView* list() { return WindowHarness::child<QTreeView>(*w_, "ListView1"); }
    QPoint rowCentre(int row)
    {
        return list()->visualRect(list()->model()->index(row, 0)).center();
    }
    void hoverOver(const char* name);

    std::unique_ptr<WindowHarness> h_;
    std::unique_ptr<Form1> w_;
};

void PointerTest::init()
{
    h_ = std::make_unique<WindowHarness>();
    w_ = h_->start();
    w_->show();
    QVERIFY(QTest::qWaitForWindowExposed(w_.get()));
}

void PointerTest::cleanup()
{
    w_.reset();
    h_.reset();
}

void PointerTest::reorder_data()
{
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QString>("script"); // c<row> click, p<row> press, m<row> move, r release,
                                         // b press below the rows, d<row> delete the row
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<int>("selected"); // 1-based, 0 when not checked
    const QStringList abc{"A", "B", "C"};
    QTest::newRow("down one row") << abc << "c0 p0 m1" << QStringList{"B", "A", "C"} << 2;
    QTest::newRow("down two rows") << abc << "c0 p0 m1 m2" << QStringList{"B", "C", "A"} << 3;
    QTest::newRow("jump") << abc << "c0 p0 m2" << QStringList{"C", "B", "A"} << 3;
    QTest::newRow("back up") << abc << "c2 p2 m1 m0" << QStringList{"C", "A", "B"} << 1;
    QTest::newRow("press below the rows") << abc << "c1 b m0" << QStringList{"B", "A", "C"} << 1;
    QTest::newRow("no press, no move") << abc << "c0 m2" << abc << 0;
    QTest::newRow("after the release") << abc << "c0 p0 m1 r m2" << QStringList{"B", "A", "C"} << 0;
    QTest::newRow("equal texts") << QStringList{"A", "A", "C"} << "c0 p0 m1"
                                 << QStringList{"A", "A", "C"} << 0;
    QTest::newRow("dragged row removed") << abc << "c2 d3 b m1" << QStringList{"A", "B"} << 0;
}

void PointerTest::reorder()
{
    QFETCH(QStringList, rows);
    QFETCH(QString, script);
    QFETCH(QStringList, after);
    QFETCH(int, selected);
    for (const QString& row : rows)
        w_->fileList().AppendFileRow(row);
    QWidget* viewport = list()->viewport();
    for (const QString& step : script.split(' ')) {
        const int row = step.mid(1).toInt();
        switch (step[0].toLatin1()) {
        case 'c':
            QTest::mouseClick(viewport, Qt::LeftButton, {}, rowCentre(row));
            break;
        case 'p':
            QTest::mousePress(viewport, Qt::LeftButton, {}, rowCentre(row));
            break;
        case 'b':
            QTest::mousePress(viewport, Qt::LeftButton, {}, QPoint(20, viewport->height() - 5));
            break;
        case 'm':
            QTest::mouseMove(viewport, rowCentre(row));
            break;
        case 'r':
            QTest::mouseRelease(viewport, Qt::LeftButton, {}, rowCentre(0));
            break;
        case 'd':
            w_->fileList().removeAt(row);
            break;
        }
    }
    QCOMPARE(WindowHarness::rows(*w_), after);
    if (selected)
        QCOMPARE(list()->currentIndex().row() + 1, selected);
}

void PointerTest::hoverOver(const char* name)
{
    QWidget* widget =
        QString(name) == "Form1" ? static_cast<QWidget*>(w_.get()) : w_->findChild<QWidget*>(name);
    QVERIFY2(widget, name);
    const QPoint inside = QString(name) == "Form1" ? QPoint(3, 3) : QPoint(5, 5);
    QMouseEvent move(QEvent::MouseMove, inside, widget->mapToGlobal(inside), Qt::NoButton,
                     Qt::NoButton, {});
    QApplication::sendEvent(widget, &move);
}

void PointerTest::hover_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<int>("pointer"); // after a button first showed the hand
    for (const char* button :
         {"PushButton1", "PushButton2", "PushButton3", "PushButton4", "PushButton8", "PushButton9"})
        QTest::newRow(button) << button << int(Pointer::Hand);
    for (const char* plain : {"Form1", "Frame3", "Frame4", "Option1", "Option2", "ListView1"})
        QTest::newRow(plain) << plain << int(Pointer::Default);
    QTest::newRow("text box keeps it") << "Text1" << int(Pointer::Hand);
    QTest::newRow("progress bar keeps it") << "ProgressBar1" << int(Pointer::Hand);
}

void PointerTest::hover()
{
    QFETCH(QString, target);
    QFETCH(int, pointer);
    hoverOver("PushButton1");
    QCOMPARE(w_->pointer(), Pointer::Hand);
    hoverOver(target == "ListView1" ? "qt_scrollarea_viewport" : qPrintable(target));
    QCOMPARE(int(w_->pointer()), pointer);
    if (pointer == int(Pointer::Hand) && target.startsWith("PushButton"))
        QCOMPARE(w_->cursor().shape(), Qt::PointingHandCursor); // no HAND-M.CUR here
}

void PointerTest::hourglassStaysDuringARun()
{
    h_->clock.stepMs = 2000;
    const QString out = h_->dir.filePath("out");
    QDir().mkpath(out);
    WindowHarness::child<QLineEdit>(*w_, "Text1")->setText(out);
    w_->fileList().AppendFileRow(h_->dir.filePath("a.ods"));
    QList<Pointer> seen;
    h_->office.office.exportAction = [&](const QString& path) {
        FakeOffice::writeFakePdf(path);
        for (const char* name : {"PushButton1", "Frame3", "Option2", "Form1"}) {
            hoverOver(name);
            seen << w_->pointer();
        }
        QTest::mouseMove(list()->viewport(), QPoint(5, 5));
        seen << w_->pointer();
        QCOMPARE(list()->viewport()->cursor().shape(), Qt::WaitCursor);
    };
    WindowHarness::child<QPushButton>(*w_, "PushButton2")->click();
    QCOMPARE(seen, QList<Pointer>(5, Pointer::Busy));
    QCOMPARE(w_->pointer(), Pointer::Default);
}

void PointerTest::hourglassStaysDuringAFolderScan()
{
    for (int i = 0; i < 5; ++i)
        QDir().mkpath(h_->dir.filePath(QString("tree/sub%1").arg(i)));
    h_->dialogs.inputs.enqueue("*");
    h_->dialogs.folders.enqueue(h_->dir.filePath("tree"));
    QList<Pointer> seen;
    // Runs at the scan's first yield.
    QTimer::singleShot(0, w_.get(), [&] {
        hoverOver("PushButton9");
        seen << w_->pointer();
        hoverOver("Frame3");
        seen << w_->pointer();
    });
    WindowHarness::child<QPushButton>(*w_, "PushButton4")->click();
    QCOMPARE(seen, QList<Pointer>(2, Pointer::Busy));
    QCOMPARE(w_->pointer(), Pointer::Default);
}

void PointerTest::listPointerAfterClickAndRelease_data()
{
    QTest::addColumn<bool>("pictureBesideProgram");
    QTest::addColumn<int>("whilePressed");
    QTest::newRow("our drag picture") << true << int(Qt::BitmapCursor);
    QTest::newRow("picture missing") << false << int(Qt::ClosedHandCursor);
}

void PointerTest::listPointerAfterClickAndRelease()
{
    QFETCH(bool, pictureBesideProgram);
    QFETCH(int, whilePressed);
    if (pictureBesideProgram)
        QVERIFY(QFile::copy(TW_SOURCE_DIR "/pointers/drag.ico", h_->programDir + "/drag.ico"));
    w_->fileList().AppendFileRow("A");
    w_->fileList().AppendFileRow("B");
    QWidget* viewport = list()->viewport();
    // A plain click, a drag that ends on its starting row, a drag to
    // another row: the picture while the row is held, the arrow after.
    for (const int releaseRow : {0, 0, 1}) {
        QTest::mousePress(viewport, Qt::LeftButton, {}, rowCentre(0));
        QCOMPARE(int(viewport->cursor().shape()), whilePressed);
        QVERIFY(!list()->dragEnabled());
        QTest::mouseMove(viewport, rowCentre(1));
        QTest::mouseMove(viewport, rowCentre(releaseRow));
        QTest::mouseRelease(viewport, Qt::LeftButton, {}, rowCentre(releaseRow));
        QCOMPARE(viewport->cursor().shape(), Qt::ArrowCursor);
    }
}

void PointerTest::draggingNearTheEdgeScrolls_data()
{
    QTest::addColumn<bool>("downwards");
    QTest::newRow("down") << true;
    QTest::newRow("up") << false;
}

void PointerTest::draggingNearTheEdgeScrolls()
{
    QFETCH(bool, downwards);
    for (int i = 0; i < 60; ++i)
        w_->fileList().AppendFileRow(QString("/data/file%1.ods").arg(i, 2, 10, QChar('0')));
    QScrollBar* bar = list()->verticalScrollBar();
    QWidget* viewport = list()->viewport();
    if (!downwards)
        list()->scrollToBottom();
    const int before = bar->value();
    // Take the row at one edge of the view and drag it along that edge.
    const int edgeY = downwards ? viewport->height() - 3 : 3;
    const QModelIndex start = list()->indexAt(QPoint(20, downwards ? 3 : viewport->height() - 3));
    QTest::mouseClick(viewport, Qt::LeftButton, {}, list()->visualRect(start).center());
    QTest::mousePress(viewport, Qt::LeftButton, {}, list()->visualRect(start).center());
    for (int step = 0; step < 5; ++step)
        QTest::mouseMove(viewport, QPoint(20, edgeY));
    QVERIFY2(downwards ? bar->value() > before : bar->value() < before,
             qPrintable(QString("%1 -> %2").arg(before).arg(bar->value())));
}

QTEST_MAIN(PointerTest)
#include "tst_pointer.moc"
