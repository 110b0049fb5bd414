#include "app/filelist/FileListController.h"

#include "app/filelist/FileListAddition.h"
#include "app/filelist/FileListModel.h"
#include "app/filelist/FileListMoves.h"
#include "app/filelist/FileListTableView.h"
#include "app/filelist/RevealInFileManager.h"

#include <QAction>

#include <algorithm>
#include <limits>
#include <numeric>
#include <set>

namespace {

void SetEnabled(QAction* action, bool enabled)
{
    if (action != nullptr)
        action->setEnabled(enabled);
}

} // namespace

FileListController::FileListController(FileListModel& model, const FileListControls& controls, QObject* parent)
    : QObject(parent)
    , model_(model)
    , selection_(&model)
    , controls_(controls)
    , reveal_(RevealInFileManager)
{
    connect(&selection_, &QItemSelectionModel::selectionChanged, this, &FileListController::tableViewSelectionDidChange);
    connect(&model_, &FileListModel::rowsDropped, this, &FileListController::selectDroppedRows);
}

void FileListController::attachTableView(FileListTableView* view)
{
    view_ = view;
    if (view == nullptr)
        return;
    view->setModel(&model_);
    view->setSelectionModel(&selection_);
    connect(view, &QAbstractItemView::doubleClicked, this, &FileListController::ImageListViewDoubleClick);
}

void FileListController::setRevealHandler(std::function<void(const QUrl&)> reveal)
{
    reveal_ = std::move(reveal);
}

std::vector<int> FileListController::selectedRows() const
{
    std::set<int> rows;
    for (const QModelIndex& index : selection_.selectedIndexes())
        rows.insert(index.row());
    return {rows.begin(), rows.end()};
}

void FileListController::Remove()
{
    const std::vector<int> rows = selectedRows();
    // Without a selection the row is past the end, so the last row ends up selected.
    const qint64 firstSelected = rows.empty() ? std::numeric_limits<qint64>::max() : rows.front();
    std::vector<FileListItem> remaining = model_.items();
    RemoveRows(remaining, rows);
    model_.replaceItems(std::move(remaining));
    if (model_.numberOfRows() > 0)
        SelectRowStartingAtRow(firstSelected, 1);
    ResetUIControls();
}

void FileListController::RemoveAll()
{
    model_.replaceItems({});
    ResetUIControls();
}

void FileListController::SelectAll()
{
    std::vector<int> all(static_cast<size_t>(model_.numberOfRows()));
    std::iota(all.begin(), all.end(), 0);
    selectRows(all);
    ResetUIControls();
}

void FileListController::Move(int segment)
{
    switch (segment) {
    case MoveTopSegment:
        MoveTop();
        break;
    case MoveUpSegment:
        MoveUp();
        break;
    case MoveDownSegment:
        MoveDown();
        break;
    case MoveBottomSegment:
        MoveBottom();
        break;
    default:
        break;
    }
}

void FileListController::MoveTop()
{
    applyMove(MoveRowsToTop, false);
}

void FileListController::MoveUp()
{
    applyMove(MoveRowsUp, false);
}

void FileListController::MoveDown()
{
    applyMove(MoveRowsDown, true);
}

void FileListController::MoveBottom()
{
    applyMove(MoveRowsToBottom, true);
}

void FileListController::applyMove(
    std::vector<int> (*move)(std::vector<FileListItem>&, const std::vector<int>&), bool scrollToLast)
{
    const std::vector<int> rows = selectedRows();
    if (rows.empty())
        return;
    std::vector<FileListItem> reordered = model_.items();
    const std::vector<int> movedRows = move(reordered, rows);
    model_.reorderItems(std::move(reordered));
    selectRows(movedRows);
    scrollToRow(scrollToLast ? movedRows.back() : movedRows.front());
    ResetUIControls();
}

void FileListController::ImageListViewDoubleClick()
{
    const std::vector<int> rows = selectedRows();
    if (rows.empty() || !reveal_)
        return;
    const QModelIndex current = selection_.currentIndex();
    const bool currentIsSelected = current.isValid() && std::binary_search(rows.begin(), rows.end(), current.row());
    const QUrl url = model_.GetPathAtIndexImageList(currentIsSelected ? current.row() : rows.front());
    if (!url.isEmpty())
        reveal_(url);
}

void FileListController::SelectRowStartingAtRow(qint64 row, qint64 count)
{
    const qint64 rowCount = model_.numberOfRows();
    qint64 start = row == -1 ? 0 : std::max<qint64>(row, 0);
    if (start >= rowCount) {
        if (rowCount == 0)
            return;
        start = rowCount - 1;
    }
    const qint64 end = std::min(rowCount, start + std::max<qint64>(count, 0));
    std::vector<int> rows;
    for (qint64 r = start; r < end; ++r)
        rows.push_back(static_cast<int>(r));
    selectRows(rows);
    scrollToRow(static_cast<int>(start));
}

void FileListController::InitialiseUIControls()
{
    ResetUIControls();
}

void FileListController::ResetUIControls()
{
    SetEnabledDisabledExportItemsForList();
    SetEnabledDisabledMoveUpDownItems(false);
    SetEnabledDisabledRemoveOrRemoveAllItems(false);
}

void FileListController::SetEnabledDisabledRemoveOrRemoveAllItems(bool disable)
{
    const bool enabled = !disable && model_.numberOfRows() > 0;
    SetEnabled(controls_.removeAction, enabled);
    SetEnabled(controls_.removeAllAction, enabled);
    SetEnabled(controls_.selectAllAction, enabled);
}

void FileListController::SetEnabledDisabledMoveUpDownItems(bool disable)
{
    const int rowCount = model_.numberOfRows();
    const std::vector<int> rows = selectedRows();
    const bool allOff = disable || rowCount < 2 || view_.isNull() || rows.empty();
    const bool upward = !allOff && rows.front() != 0;
    const bool downward = !allOff && rows.back() != rowCount - 1;
    SetEnabled(controls_.moveTopAction, upward);
    SetEnabled(controls_.moveUpAction, upward);
    SetEnabled(controls_.moveDownAction, downward);
    SetEnabled(controls_.moveBottomAction, downward);
}

void FileListController::SetEnabledDisabledExportItemsForList()
{
    const bool enabled = model_.numberOfRows() > 0;
    SetEnabled(controls_.exportAction, enabled);
    SetEnabled(controls_.exportAllAction, enabled);
}

void FileListController::appendAddedItems(const PendingFileListItems& pending)
{
    if (pending.anEntryWasTried && !view_.isNull())
        view_->clearSortIndicator();
    if (pending.items.empty())
        return;
    const int firstNewRow = model_.numberOfRows();
    model_.appendItems(pending.items);
    SelectRowStartingAtRow(firstNewRow, static_cast<qint64>(pending.items.size()));
    if (!addCommandIsOff())
        ResetUIControls();
}

void FileListController::tableViewSelectionDidChange()
{
    SetEnabledDisabledMoveUpDownItems(addCommandIsOff());
}

void FileListController::selectRows(const std::vector<int>& rows)
{
    QItemSelection selection;
    const int lastColumn = model_.columnCount() - 1;
    // One range per run of consecutive rows keeps large selections cheap.
    for (size_t first = 0; first < rows.size();) {
        size_t last = first;
        while (last + 1 < rows.size() && rows[last + 1] == rows[last] + 1)
            ++last;
        selection.select(model_.index(rows[first], 0), model_.index(rows[last], lastColumn));
        first = last + 1;
    }
    selection_.select(selection, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    if (!rows.empty())
        selection_.setCurrentIndex(model_.index(rows.front(), 0), QItemSelectionModel::NoUpdate);
}

void FileListController::scrollToRow(int row)
{
    if (!view_.isNull() && row >= 0 && row < model_.numberOfRows())
        view_->scrollTo(model_.index(row, 0));
}

void FileListController::selectDroppedRows(int firstRow, int count)
{
    SelectRowStartingAtRow(firstRow, count);
}

bool FileListController::addCommandIsOff() const
{
    return controls_.addAction != nullptr && !controls_.addAction->isEnabled();
}
