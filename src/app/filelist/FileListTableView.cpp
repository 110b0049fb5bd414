#include "app/filelist/FileListTableView.h"

#include "app/filelist/FileListModel.h"

#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QHeaderView>
#include <QSignalBlocker>

FileListTableView::FileListTableView(QWidget* parent)
    : QTableView(parent)
{
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDropIndicatorShown(true);
    setDragDropOverwriteMode(false);
    setDefaultDropAction(Qt::MoveAction);
    setShowGrid(false);
    setWordWrap(false);
    verticalHeader()->hide();
    // Tab leaves the list for the next control, as in any list of a window: moving from cell to
    // cell would also move the selection that Export acts on.
    setTabKeyNavigation(false);

    QHeaderView* header = horizontalHeader();
    header->setStretchLastSection(true);
    header->setSectionsClickable(true);
    header->setSortIndicatorShown(true);
    header->setSortIndicator(-1, Qt::AscendingOrder);
    connect(header, &QHeaderView::sortIndicatorChanged, this, &FileListTableView::headerSortIndicatorChanged);
}

void FileListTableView::sortDescriptorsDidChange(Qt::SortOrder order)
{
    showSortIndicator(FileListModel::FilePathColumn, order);
    if (FileListModel* model = fileListModel())
        model->sort(FileListModel::FilePathColumn, order);
}

void FileListTableView::clearSortIndicator()
{
    showSortIndicator(-1, Qt::AscendingOrder);
}

void FileListTableView::headerSortIndicatorChanged(int section, Qt::SortOrder order)
{
    // A header click has already flipped the indicator; only the path column may keep it.
    if (section == FileListModel::FilePathColumn)
        sortDescriptorsDidChange(order);
    else
        showSortIndicator(shownSortSection_, shownSortOrder_);
}

void FileListTableView::showSortIndicator(int section, Qt::SortOrder order)
{
    shownSortSection_ = section;
    shownSortOrder_ = order;
    const QSignalBlocker quiet(horizontalHeader());
    horizontalHeader()->setSortIndicator(section, order);
}

void FileListTableView::dragEnterEvent(QDragEnterEvent* event)
{
    QTableView::dragEnterEvent(event);
    markDropAsMoveOrCopy(event);
}

void FileListTableView::dragMoveEvent(QDragMoveEvent* event)
{
    QTableView::dragMoveEvent(event);
    markDropAsMoveOrCopy(event);
}

void FileListTableView::markDropAsMoveOrCopy(QDragMoveEvent* event) const
{
    const FileListModel* model = fileListModel();
    if (model == nullptr || !event->isAccepted())
        return;
    // Rows of this list move; anything from elsewhere is copied into the list.
    const Qt::DropAction action = model->isOwnRowDrag(event->mimeData()) ? Qt::MoveAction : Qt::CopyAction;
    if (event->possibleActions() & action) {
        event->setDropAction(action);
        event->accept();
    }
}

FileListModel* FileListTableView::fileListModel() const
{
    return qobject_cast<FileListModel*>(model());
}
