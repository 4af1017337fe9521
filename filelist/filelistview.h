#pragma once

#include <QCursor>
#include <QPersistentModelIndex>
#include <QTreeView>

#include <functional>
#include <optional>

class FileListModel;

// The list view over the file list: one column in report view. The Delete
// key and a double-click ask for the selected row to be removed, and files
// dropped from the file manager are handed on; the window decides what
// happens. Rows are put into another order by pressing on one and dragging
// it over the others: the two rows exchange their texts.
class FileListView : public QTreeView {
    Q_OBJECT

public:
    explicit FileListView(QWidget* parent = nullptr);
    void setFileList(FileListModel* files);
    // 1-based position of the selected row, 0 when none is selected.
    int selectedPosition() const;

    // The list's pointer while a row is moved, asked for at every row click.
    void setDragPointer(std::function<QCursor()> pointer) { dragPointer_ = std::move(pointer); }
    // The window's hourglass wins over the list's own pointer.
    void setBusy(bool busy);
    // A row was clicked: it is the one that moves, and the list shows the
    // drag pointer.
    void startReorder();
    // The pointer moved to `at`: with the button down, the moved row and
    // the one there exchange their texts. True when the move was used so.
    bool reorderTo(const QPoint& at);

signals:
    void removeRequested();
    // Local files and folders dropped from outside, in the order of the
    // drop data.
    void filesDropped(const QStringList& paths);
    // Dropped files whose names are not valid UTF-8, in their display form.
    void unusableNamesDropped(const QStringList& names);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void scrollNearEdge(const QPoint& at, const QModelIndex& hit);
    void applyPointer();

    FileListModel* files_ = nullptr;
    std::function<QCursor()> dragPointer_;
    std::optional<QCursor> listPointer_;
    bool busy_ = false;
    // From a press on the list until the next release on it.
    bool ListMouseDown = false;
    // The row that carries the path being moved; it stays after the release.
    QPersistentModelIndex DragItem;
};
