#pragma once

#include <QTreeView>

// The list view over the file list: one column in report view. The Delete
// key and a double-click ask for the selected row to be removed; the window
// decides whether that is allowed.
class FileListView : public QTreeView {
    Q_OBJECT

public:
    explicit FileListView(QWidget* parent = nullptr);
    // 1-based position of the selected row, 0 when none is selected.
    int selectedPosition() const;

signals:
    void removeRequested();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
};
