#include "app/filelist/FileListModel.h"

#include "app/filelist/FileListMoves.h"
#include "app/filelist/FileListSort.h"

#include <QMimeData>
#include <QUuid>

#include <algorithm>
#include <set>

const QString FileListModel::kRowsMimeType = QStringLiteral("application/x-tomefold-rows");

namespace {

QList<QUrl> LocalFileUrls(const QMimeData* data)
{
    QList<QUrl> files;
    if (data == nullptr || !data->hasUrls())
        return files;
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile())
            files.append(url);
    }
    return files;
}

} // namespace

FileListModel::FileListModel(QObject* parent)
    : QAbstractTableModel(parent)
    , dragSourceToken_(QUuid::createUuid().toByteArray())
{
}

QString FileListModel::columnIdentifier(int column)
{
    switch (column) {
    case IndexColumn:
        return QStringLiteral("Index");
    case FilePathColumn:
        return QStringLiteral("FilePath");
    default:
        return {};
    }
}

QUrl FileListModel::GetPathAtIndexImageList(qint64 index) const
{
    if (index < 0 || index >= static_cast<qint64>(imageArray.size()))
        return {};
    return imageArray[static_cast<size_t>(index)].FilePath;
}

void FileListModel::appendItems(const std::vector<FileListItem>& added)
{
    if (added.empty())
        return;
    const int first = numberOfRows();
    beginInsertRows({}, first, first + static_cast<int>(added.size()) - 1);
    imageArray.insert(imageArray.end(), added.begin(), added.end());
    endInsertRows();
}

void FileListModel::replaceItems(std::vector<FileListItem> reordered)
{
    beginResetModel();
    imageArray = std::move(reordered);
    endResetModel();
}

void FileListModel::reorderItems(std::vector<FileListItem> reordered)
{
    // A layout change without moving persistent indexes leaves the selection on the same rows.
    emit layoutAboutToBeChanged();
    imageArray = std::move(reordered);
    emit layoutChanged();
}

int FileListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : numberOfRows();
}

int FileListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant FileListModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= numberOfRows())
        return {};
    const FileListItem& item = imageArray[static_cast<size_t>(index.row())];
    switch (index.column()) {
    case IndexColumn:
        return QString::number(index.row() + 1);
    case FilePathColumn: {
        const QString path = item.FilePath.path();
        return item.IsDir ? QStringLiteral("\u2605 %1").arg(path) : path;
    }
    default:
        return {};
    }
}

QVariant FileListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case IndexColumn:
        return QStringLiteral("#");
    case FilePathColumn:
        return tr("File");
    default:
        return {};
    }
}

Qt::ItemFlags FileListModel::flags(const QModelIndex& index) const
{
    // Drops land between rows (the invalid parent), never on a row.
    if (!index.isValid())
        return Qt::ItemIsDropEnabled;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled;
}

void FileListModel::sort(int column, Qt::SortOrder order)
{
    if (column != FilePathColumn)
        return;
    std::vector<FileListItem> sorted = imageArray;
    SortFileListItems(sorted, order);
    reorderItems(std::move(sorted));
}

QStringList FileListModel::mimeTypes() const
{
    return {kRowsMimeType, QStringLiteral("text/uri-list")};
}

QMimeData* FileListModel::mimeData(const QModelIndexList& indexes) const
{
    dragedImageArray.clear();
    std::set<int> rows;
    for (const QModelIndex& index : indexes) {
        if (index.isValid() && index.row() < numberOfRows())
            rows.insert(index.row());
    }
    if (rows.empty() || static_cast<int>(rows.size()) == numberOfRows())
        return nullptr;

    for (const int row : rows)
        dragedImageArray.push_back(imageArray[static_cast<size_t>(row)]);
    auto* data = new QMimeData; // the drag takes ownership
    data->setData(kRowsMimeType, dragSourceToken_);
    return data;
}

bool FileListModel::isOwnRowDrag(const QMimeData* data) const
{
    return data != nullptr && data->hasFormat(kRowsMimeType) && data->data(kRowsMimeType) == dragSourceToken_;
}

bool FileListModel::canDropMimeData(const QMimeData* data, Qt::DropAction, int, int, const QModelIndex& parent) const
{
    if (isOwnRowDrag(data))
        return !parent.isValid();
    return !LocalFileUrls(data).isEmpty();
}

bool FileListModel::dropMimeData(const QMimeData* data, Qt::DropAction, int row, int, const QModelIndex& parent)
{
    if (isOwnRowDrag(data))
        return dropOwnRows(row, parent);

    const QList<QUrl> files = LocalFileUrls(data);
    if (files.isEmpty())
        return false;
    emit filesDropped(files);
    return true;
}

bool FileListModel::dropOwnRows(int row, const QModelIndex& parent)
{
    const std::vector<FileListItem> dragged = std::exchange(dragedImageArray, {});
    if (parent.isValid() || dragged.empty())
        return false;

    std::vector<FileListItem> reordered = imageArray;
    const int dropRow = row < 0 ? numberOfRows() : row;
    const DroppedBlock block = MoveItemsToDropRow(reordered, dragged, dropRow);
    reorderItems(std::move(reordered));
    if (block.count > 0)
        emit rowsDropped(block.firstRow, block.count);
    return true;
}

Qt::DropActions FileListModel::supportedDropActions() const
{
    return Qt::CopyAction | Qt::MoveAction;
}

Qt::DropActions FileListModel::supportedDragActions() const
{
    return Qt::CopyAction | Qt::MoveAction;
}
