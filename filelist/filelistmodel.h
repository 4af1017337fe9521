#pragma once

#include <QAbstractListModel>
#include <QStringList>

// The file list: one row per input file, whose only data is its full path.
// Rows keep the order in which they were added; duplicates are allowed.
// Positions count from 1, as the conversion run reads them.
class FileListModel : public QAbstractListModel {
    Q_OBJECT

public:
    using QAbstractListModel::QAbstractListModel;

    void AppendFileRow(const QString& path);
    // True when a row's text equals `text` exactly (case-sensitive).
    bool ListContains(const QString& text) const;
    int count() const { return static_cast<int>(rows_.size()); }
    // The text at 1-based `position`; raises an error for a position that
    // does not exist.
    QString textAt(int position) const;
    void removeAt(int position);
    void clear();
    // Exchanges the texts of two rows (1-based).
    void swapTexts(int first, int second);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    // The one column's header; empty until the window's start-up adds it.
    void setHeaderText(const QString& text);

private:
    QStringList rows_;
    QString header_;
};
