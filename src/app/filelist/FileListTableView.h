#pragma once

#include <QTableView>

class FileListModel;

// The table of the file list: whole rows are selected, rows are dragged to reorder them, files
// are dropped on it from outside, and a click on the path column's header sorts by path,
// toggling the direction. Give it its model and selection with FileListController::attachTableView.
class FileListTableView : public QTableView {
    Q_OBJECT

public:
    explicit FileListTableView(QWidget* parent = nullptr);

    // Sorts by the path column in the given direction and shows it in the header.
    void sortDescriptorsDidChange(Qt::SortOrder order);
    // The header shows no sort any more (the list is in the order rows were added).
    void clearSortIndicator();

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;

private:
    void headerSortIndicatorChanged(int section, Qt::SortOrder order);
    void showSortIndicator(int section, Qt::SortOrder order);
    void markDropAsMoveOrCopy(QDragMoveEvent* event) const;
    FileListModel* fileListModel() const;

    // What the header last showed by our choice, to put back when another column is clicked.
    int shownSortSection_ = -1;
    Qt::SortOrder shownSortOrder_ = Qt::AscendingOrder;
};
