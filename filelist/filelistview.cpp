#include "filelistview.h"

#include "fileattributes.h"
#include "filelistmodel.h"

#include <QDragEnterEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMimeData>

FileListView::FileListView(QWidget* parent) : QTreeView(parent)
{
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    header()->setStretchLastSection(false);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
}

namespace {
// The local paths of a drop; empty when it carries no list of local files.
// A path whose bytes are not valid UTF-8 names no file as text: it goes into
// `unusable` in its display form.
QStringList localPaths(const QMimeData* data, QStringList* unusable = nullptr)
{
    QStringList paths;
    if (!data || !data->hasUrls())
        return paths;
    for (const QUrl& url : data->urls()) {
        if (!url.isLocalFile())
            continue;
        const QByteArray bytes =
            QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
        if (!SurvivesEncoding(bytes)) {
            if (unusable)
                *unusable << DisplayName(bytes);
            continue;
        }
        paths << url.toLocalFile();
    }
    return paths;
}

// Takes a drop of local files as a copy or a link, never as a move: a
// source that deletes its files after a move would lose the user's files.
// False when the drop is refused.
bool acceptCopyOrLink(QDropEvent* event)
{
    const Qt::DropActions allowed = event->possibleActions() & (Qt::CopyAction | Qt::LinkAction);
    QStringList unusable;
    if (!allowed || (localPaths(event->mimeData(), &unusable).isEmpty() && unusable.isEmpty())) {
        event->ignore(); // the pointer shows that nothing can be dropped
        return false;
    }
    if (!(event->proposedAction() & allowed))
        event->setDropAction(allowed & Qt::CopyAction ? Qt::CopyAction : Qt::LinkAction);
    else
        event->setDropAction(event->proposedAction());
    event->accept();
    return true;
}
} // namespace

void FileListView::dragEnterEvent(QDragEnterEvent* event)
{
    acceptCopyOrLink(event);
}

void FileListView::dragMoveEvent(QDragMoveEvent* event)
{
    acceptCopyOrLink(event);
}

void FileListView::dropEvent(QDropEvent* event)
{
    if (!acceptCopyOrLink(event))
        return;
    QStringList unusable;
    const QStringList paths = localPaths(event->mimeData(), &unusable);
    emit filesDropped(paths);
    if (!unusable.isEmpty())
        emit unusableNamesDropped(unusable);
}

void FileListView::setFileList(FileListModel* files)
{
    files_ = files;
    setModel(files);
}

void FileListView::setBusy(bool busy)
{
    busy_ = busy;
    applyPointer();
}

void FileListView::mousePressEvent(QMouseEvent* event)
{
    ListMouseDown = true;
    QTreeView::mousePressEvent(event);
}

void FileListView::mouseReleaseEvent(QMouseEvent* event)
{
    ListMouseDown = false;
    listPointer_ = QCursor(Qt::ArrowCursor);
    applyPointer();
    QTreeView::mouseReleaseEvent(event);
}

void FileListView::startReorder()
{
    listPointer_ = dragPointer_ ? dragPointer_() : QCursor(Qt::ClosedHandCursor);
    applyPointer();
    // Dragging a row reorders the list; it never starts a transfer.
    setDragEnabled(false);
    const int position = selectedPosition();
    DragItem = position > 0 && files_ ? QPersistentModelIndex(files_->index(position - 1))
                                      : QPersistentModelIndex();
}

bool FileListView::reorderTo(const QPoint& at)
{
    if (!ListMouseDown || !files_)
        return false;
    const QModelIndex HitItem = indexAt(at);
    // A DragItem whose row was removed is no longer valid: nothing moves.
    if (HitItem.isValid() && DragItem.isValid()) {
        const int from = DragItem.row() + 1;
        const int to = HitItem.row() + 1;
        if (files_->textAt(from) != files_->textAt(to)) {
            files_->swapTexts(from, to);
            setCurrentIndex(HitItem);
            DragItem = QPersistentModelIndex(HitItem);
            scrollNearEdge(at, HitItem);
        }
    }
    // The view's own drag selection stays out of it.
    return true;
}

void FileListView::scrollNearEdge(const QPoint& at, const QModelIndex& hit)
{
    // Near the top or the bottom of the visible rows, bring the next row in.
    const int rowHeight = visualRect(hit).height();
    const int bottom = viewport()->height();
    if (at.y() < rowHeight && hit.row() > 0)
        scrollTo(files_->index(hit.row() - 1));
    else if (at.y() >= bottom - rowHeight && hit.row() + 1 < files_->count())
        scrollTo(files_->index(hit.row() + 1));
}

void FileListView::applyPointer()
{
    if (busy_)
        viewport()->setCursor(Qt::WaitCursor);
    else if (listPointer_)
        viewport()->setCursor(*listPointer_);
    else
        viewport()->unsetCursor();
}

int FileListView::selectedPosition() const
{
    const QModelIndexList rows =
        selectionModel() ? selectionModel()->selectedRows() : QModelIndexList{};
    return rows.isEmpty() ? 0 : rows.first().row() + 1;
}

void FileListView::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Delete) {
        emit removeRequested();
        return;
    }
    QTreeView::keyPressEvent(event);
}

// Tabbing in marks a row as current but selects none, and Delete acts on
// the selection: select the current row so that Delete removes the row the
// user sees marked.
void FileListView::focusInEvent(QFocusEvent* event)
{
    QTreeView::focusInEvent(event);
    const bool byTab =
        event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason;
    if (byTab && selectionModel() && !selectionModel()->hasSelection() && currentIndex().isValid())
        selectionModel()->select(currentIndex(),
                                 QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void FileListView::mouseDoubleClickEvent(QMouseEvent* event)
{
    QTreeView::mouseDoubleClickEvent(event);
    emit removeRequested();
}
