#pragma once

#include "app/filelist/FileListItem.h"

#include <QAbstractTableModel>
#include <QByteArray>
#include <QList>
#include <QUrl>

#include <vector>

// The file list (imageArray) and what the table shows of it: a row number and the item's path,
// a kept folder marked with a star. No cell is editable. Rows are dragged within the table with
// the application's own MIME type; file URLs dropped from elsewhere are handed on as a request
// to add them. Everything here runs on the main thread.
class FileListModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column { IndexColumn, FilePathColumn, ColumnCount };

    // Marks a drag of this table's rows. Its data only says which list the rows came from:
    // the rows themselves stay in the model while the drag is under way.
    static const QString kRowsMimeType;

    explicit FileListModel(QObject* parent = nullptr);

    // The column identifier the table's columns are known by: "Index" or "FilePath".
    static QString columnIdentifier(int column);

    const std::vector<FileListItem>& items() const { return imageArray; }
    int numberOfRows() const { return static_cast<int>(imageArray.size()); }

    // The URL of the item at the index, or an empty URL when there is none.
    QUrl GetPathAtIndexImageList(qint64 index) const;

    // Appends rows after the last one.
    void appendItems(const std::vector<FileListItem>& added);
    // Replaces the whole list in one reload; selected row numbers are the view's business.
    void replaceItems(std::vector<FileListItem> reordered);
    // Puts the list in a new order of the same items; the selection keeps its row numbers.
    void reorderItems(std::vector<FileListItem> reordered);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // Only the path column sorts; other columns leave the list alone.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    QStringList mimeTypes() const override;
    // Starts a row drag; a drag of every row is refused (no data).
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    bool canDropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
        const QModelIndex& parent) const override;
    bool dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
        const QModelIndex& parent) override;
    Qt::DropActions supportedDropActions() const override;
    Qt::DropActions supportedDragActions() const override;
    // removeRows is deliberately left to the base class (which refuses): after a row drag that
    // ended as a move the view asks to remove the source rows, which the drop has already moved.

    // True when the data is a drag of this model's own rows.
    bool isOwnRowDrag(const QMimeData* data) const;

signals:
    // A row drop put the dragged items at these rows.
    void rowsDropped(int firstRow, int count);
    // Files came from outside; they still have to be added.
    void filesDropped(const QList<QUrl>& urls);

private:
    bool dropOwnRows(int row, const QModelIndex& parent);

    std::vector<FileListItem> imageArray;
    // The items of the row drag under way, in row order; empty between drags.
    mutable std::vector<FileListItem> dragedImageArray;
    const QByteArray dragSourceToken_;
};
