// Pointer feedback and reordering rows by dragging them over each other.
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
    case QEvent::MouseButtonPress:
        if (overList)
            ListMouseDown = true;
        break;
    case QEvent::MouseButtonRelease:
        if (overList) {
            ListMouseDown = false;
            listPointer_ = QCursor(Qt::ArrowCursor);
            applyListPointer();
        }
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void Form1::ListView1_ItemClick()
{
    // The picture is read at every row click; without it, a closed hand.
    const QString file = services_.programDir + QStringLiteral("/drag.ico");
    try {
        const PointerPicture picture = PointerPicture::load(file);
        listPointer_ = QCursor(picture.pixmap, picture.hotspot.x(), picture.hotspot.y());
    } catch (const TarnwickError&) {
        listPointer_ = QCursor(Qt::ClosedHandCursor);
    }
    applyListPointer();
    // Dragging a row reorders the list; it never starts a transfer.
    ListView1->setDragEnabled(false);
    const int position = ListView1->selectedPosition();
    DragItem = position > 0 ? QPersistentModelIndex(fileList_->index(position - 1))
                            : QPersistentModelIndex();
}

bool Form1::ListView1_MouseMove(const QPoint& at)
{
    if (!ListMouseDown)
        return false;
    const QModelIndex hit = ListView1->indexAt(at);
    // A DragItem whose row was removed is no longer valid: nothing moves.
    if (hit.isValid() && DragItem.isValid()) {
        const int from = DragItem.row() + 1;
        const int to = hit.row() + 1;
        if (fileList_->textAt(from) != fileList_->textAt(to)) {
            fileList_->swapTexts(from, to);
            ListView1->setCurrentIndex(hit);
            DragItem = QPersistentModelIndex(hit);
            scrollNearEdge(at, hit);
        }
    }
    // The view's own drag selection stays out of it.
    return true;
}

void Form1::scrollNearEdge(const QPoint& at, const QModelIndex& hit)
{
    // Near the top or the bottom of the visible rows, bring the next row in.
    const int rowHeight = ListView1->visualRect(hit).height();
    const int bottom = ListView1->viewport()->height();
    if (at.y() < rowHeight && hit.row() > 0)
        ListView1->scrollTo(fileList_->index(hit.row() - 1));
    else if (at.y() >= bottom - rowHeight && hit.row() + 1 < fileList_->count())
        ListView1->scrollTo(fileList_->index(hit.row() + 1));
}

void Form1::applyListPointer()
{
    if (pointer_ == Pointer::Busy)
        ListView1->viewport()->setCursor(Qt::WaitCursor);
    else if (listPointer_)
        ListView1->viewport()->setCursor(*listPointer_);
    else
        ListView1->viewport()->unsetCursor();
}
