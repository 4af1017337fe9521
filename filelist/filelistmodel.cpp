#include "filelistmodel.h"

#include "errors.h"

namespace {
void requirePosition(int position, int count)
{
    if (position < 1 || position > count)
        throw TarnwickError(QStringLiteral("Index out of bounds"), IndexOutOfBounds);
}
} // namespace

void FileListModel::AppendFileRow(const QString& path)
{
    const int row = count();
    beginInsertRows({}, row, row);
    rows_.append(path);
    endInsertRows();
}

bool FileListModel::ListContains(const QString& text) const
{
    return rows_.contains(text, Qt::CaseSensitive);
}

QString FileListModel::textAt(int position) const
{
    requirePosition(position, count());
    return rows_.at(position - 1);
}

void FileListModel::removeAt(int position)
{
    requirePosition(position, count());
    beginRemoveRows({}, position - 1, position - 1);
    rows_.removeAt(position - 1);
    endRemoveRows();
}

void FileListModel::clear()
{
    beginResetModel();
    rows_.clear();
    endResetModel();
}

void FileListModel::swapTexts(int first, int second)
{
    requirePosition(first, count());
    requirePosition(second, count());
    rows_.swapItemsAt(first - 1, second - 1);
    emit dataChanged(index(first - 1), index(first - 1));
    emit dataChanged(index(second - 1), index(second - 1));
}

int FileListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : count();
}

QVariant FileListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= count())
        return {};
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole)
        return rows_.at(index.row());
    return {};
}

QVariant FileListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (section == 0 && orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return header_;
    return {};
}

void FileListModel::setHeaderText(const QString& text)
{
    header_ = text;
    emit headerDataChanged(Qt::Horizontal, 0, 0);
}
