#pragma once

#include "app/filelist/FileListControls.h"
#include "app/filelist/FileListItem.h"

#include <QItemSelectionModel>
#include <QObject>
#include <QPointer>

#include <functional>
#include <vector>

class FileListModel;
class FileListTableView;
struct PendingFileListItems;

// The file list's commands as the main window offers them: removing, moving and selecting rows,
// revealing a file, the rows a drop or an addition brings, and which commands are enabled for
// the list and its selection. Runs on the main thread. The selection lives here, so the table
// attached to it shows it.
class FileListController : public QObject {
    Q_OBJECT

public:
    // Segments of the move control, in the order the window shows them.
    enum MoveSegment { MoveTopSegment = 0, MoveUpSegment = 1, MoveDownSegment = 2, MoveBottomSegment = 3 };

    FileListController(FileListModel& model, const FileListControls& controls, QObject* parent = nullptr);

    FileListModel& model() const { return model_; }
    QItemSelectionModel& selectionModel() { return selection_; }
    const FileListControls& controls() const { return controls_; }

    // Shows the list in the table: the table takes this model and selection, header clicks
    // sort, a double-click reveals.
    void attachTableView(FileListTableView* view);

    // Shows a file or folder in the file manager; tests put a recorder here.
    void setRevealHandler(std::function<void(const QUrl&)> reveal);

    // The selected rows, ascending.
    std::vector<int> selectedRows() const;

    void Remove();
    void RemoveAll();
    void SelectAll();
    void Move(int segment);
    void MoveTop();
    void MoveUp();
    void MoveDown();
    void MoveBottom();
    void ImageListViewDoubleClick();

    // Selects count rows from row (row -1 means 0; past the end means the last row) and
    // scrolls that row into view. An empty list selects nothing.
    void SelectRowStartingAtRow(qint64 row, qint64 count);

    void InitialiseUIControls();
    void ResetUIControls();
    // With disable set all remove items go off; otherwise they are on when the list has rows.
    void SetEnabledDisabledRemoveOrRemoveAllItems(bool disable);
    // With disable set, or without a table, a selection or two rows, both pairs go off;
    // otherwise upward is on unless row 0 is selected, downward unless the last row is.
    void SetEnabledDisabledMoveUpDownItems(bool disable);

    // The main-thread half of one addition: the sort indicator is cleared when any entry was
    // offered; new rows are appended and selected, and the commands follow the list unless a
    // batch is running (shown by the add command being off).
    void appendAddedItems(const PendingFileListItems& pending);

private:
    void tableViewSelectionDidChange();
    void SetEnabledDisabledExportItemsForList();
    void selectRows(const std::vector<int>& rows);
    void scrollToRow(int row);
    void applyMove(std::vector<int> (*move)(std::vector<FileListItem>&, const std::vector<int>&), bool scrollToLast);
    void selectDroppedRows(int firstRow, int count);
    bool addCommandIsOff() const;

    FileListModel& model_;
    QItemSelectionModel selection_;
    FileListControls controls_;
    QPointer<FileListTableView> view_;
    std::function<void(const QUrl&)> reveal_;
};
