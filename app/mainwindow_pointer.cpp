// Pointer feedback: a hand over the buttons, the hourglass while busy; the
// list's own pointer and the reordering of its rows are the list view's.
#include "mainwindow.h"

#include "errors.h"
#include "filelistmodel.h"
#include "filelistview.h"
#include "pointerpicture.h"

#include <QEnterEvent>
#include <QFrame>
#include <QGroupBox>
#include <QLineEdit>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>

void Form1::setUpPointerFeedback()
{
    for (QWidget* widget : std::initializer_list<QWidget*>{
             PushButton1, PushButton2, PushButton3, PushButton4, PushButton8, PushButton9, this,
             Frame3, Frame4, Option1, Option2, ListView1->viewport()}) {
        widget->setMouseTracking(true);
        widget->installEventFilter(this);
    }
    // The row click takes effect on the press, as the list reports it, so
    // that the release after it leaves the arrow: Qt's clicked() would come
    // after the release.
    connect(ListView1, &QAbstractItemView::pressed, this, &Form1::ListView1_ItemClick);
    // The picture is read at every row click; without it, a closed hand.
    ListView1->setDragPointer([file = services_.programDir + QStringLiteral("/drag.ico")] {
        try {
            const PointerPicture picture = PointerPicture::load(file);
            return QCursor(picture.pixmap, picture.hotspot.x(), picture.hotspot.y());
        } catch (const TarnwickError&) {
            return QCursor(Qt::ClosedHandCursor);
        }
    });
}

// What the pointer is over, found from the deepest widget under it: a move
// that a button ignores reaches the window too, and must still count as
// over the button.
Form1::Surface Form1::surfaceAt(QWidget* watched, const QPoint& at) const
{
    QWidget* under = watched->childAt(at);
    for (QWidget* w = under ? under : watched; w; w = w->parentWidget()) {
        if (w == PushButton1 || w == PushButton2 || w == PushButton3 || w == PushButton4 ||
            w == PushButton8 || w == PushButton9)
            return Surface::Button;
        if (w == Text1 || w == ProgressBar1)
            return Surface::Inert;
        if (w == this || w == Frame3 || w == Frame4 || w == Option1 || w == Option2 ||
            w == ListView1)
            return Surface::Plain;
    }
    return Surface::Inert;
}

bool Form1::eventFilter(QObject* watched, QEvent* event)
{
    auto* widget = static_cast<QWidget*>(watched);
    const bool overList = watched == ListView1->viewport();
    switch (event->type()) {
    case QEvent::MouseMove:
    case QEvent::Enter: {
        const QPoint at = event->type() == QEvent::Enter
                              ? static_cast<QEnterEvent*>(event)->position().toPoint()
                              : static_cast<QMouseEvent*>(event)->position().toPoint();
        // The hourglass stays, however the pointer moves.
        const Surface surface = surfaceAt(widget, at);
        if (pointer_ != Pointer::Busy && surface != Surface::Inert)
            setPointer(surface == Surface::Button ? Pointer::Hand : Pointer::Default);
        if (overList && event->type() == QEvent::MouseMove)
            return ListView1_MouseMove(at);
        break;
    }
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void Form1::ListView1_ItemClick()
{
    ListView1->startReorder();
}

bool Form1::ListView1_MouseMove(const QPoint& at)
{
    return ListView1->reorderTo(at);
}
