#pragma once

#include <QTreeView>

// The list view over the file list: one column in report view. The Delete
// key and a double-click ask for the selected row to be removed, and files
// dropped from the file manager are handed on; the window decides what
// happens.
class FileListView : public QTreeView {
    Q_OBJECT

public:
    explicit FileListView(QWidget* parent = nullptr);
    // 1-based position of the selected row, 0 when none is selected.
    int selectedPosition() const;

signals:
    void removeRequested();
    // Local files and folders dropped from outside, in the order of the
    // drop data.
    void filesDropped(const QStringList& paths);
    // Dropped files whose names are not valid UTF-8, in their display form.
    void unusableNamesDropped(const QStringList& names);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
};
