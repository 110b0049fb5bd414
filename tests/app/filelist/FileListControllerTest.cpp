#include "app/filelist/FileListController.h"

#include "app/filelist/FileListAddition.h"
#include "app/filelist/FileListModel.h"
#include "app/filelist/FileListTableView.h"

#include "FileListTestSupport.h"

#include <QAction>
#include <QHeaderView>

#include <gtest/gtest.h>

using namespace FileListTest;

namespace {

// The window's side: one action per command, a table, and the list's controller.
class FileListControllerTest : public testing::Test {
protected:
    FileListControllerTest()
    {
        controls.addAction = &add;
        controls.exportAction = &exportSelected;
        controls.exportAllAction = &exportAll;
        controls.selectAllAction = &selectAll;
        controls.removeAction = &remove;
        controls.removeAllAction = &removeAll;
        controls.moveTopAction = &moveTop;
        controls.moveUpAction = &moveUp;
        controls.moveDownAction = &moveDown;
        controls.moveBottomAction = &moveBottom;
        controller = std::make_unique<FileListController>(model, controls);
        controller->attachTableView(&table);
        controller->InitialiseUIControls();
    }

    void fill(int rows)
    {
        std::vector<FileListItem> items;
        for (int row = 0; row < rows; ++row)
            items.push_back(fileItem(QStringLiteral("/r%1").arg(row)));
        model.replaceItems(items);
        controller->ResetUIControls();
    }

    void select(std::initializer_list<int> rows)
    {
        controller->selectionModel().clearSelection();
        for (const int row : rows)
            controller->selectionModel().select(model.index(row, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }

    // The enabled state as "export remove move-up move-down", one letter per group, '-' for off.
    std::string enabled() const
    {
        EXPECT_EQ(exportSelected.isEnabled(), exportAll.isEnabled());
        EXPECT_EQ(remove.isEnabled(), removeAll.isEnabled());
        EXPECT_EQ(remove.isEnabled(), selectAll.isEnabled());
        EXPECT_EQ(moveTop.isEnabled(), moveUp.isEnabled());
        EXPECT_EQ(moveDown.isEnabled(), moveBottom.isEnabled());
        std::string state;
        state += exportAll.isEnabled() ? 'E' : '-';
        state += remove.isEnabled() ? 'R' : '-';
        state += moveUp.isEnabled() ? 'U' : '-';
        state += moveDown.isEnabled() ? 'D' : '-';
        return state;
    }

    QStringList paths() const { return pathsOf(model.items()); }

    QAction add, exportSelected, exportAll, selectAll, remove, removeAll, moveTop, moveUp, moveDown, moveBottom;
    FileListControls controls;
    FileListModel model;
    FileListTableView table;
    std::unique_ptr<FileListController> controller;
};

TEST_F(FileListControllerTest, EnablesCommandsFromTheListAndItsSelection)
{
    EXPECT_EQ(enabled(), "----");

    fill(1);
    select({0});
    EXPECT_EQ(enabled(), "ER--");

    fill(3);
    EXPECT_EQ(enabled(), "ER--");
    select({0});
    EXPECT_EQ(enabled(), "ER-D");
    select({1});
    EXPECT_EQ(enabled(), "ERUD");
    select({1, 2});
    EXPECT_EQ(enabled(), "ERU-");
    select({0, 2});
    EXPECT_EQ(enabled(), "ER--");
}

TEST_F(FileListControllerTest, KeepsMoveCommandsOffWhileABatchHoldsTheAddCommand)
{
    fill(3);
    add.setEnabled(false);
    select({1});
    EXPECT_EQ(enabled(), "ER--");

    FileListModel lonely;
    FileListController withoutTable(lonely, controls);
    lonely.appendItems(fileItems({"/a", "/b"}));
    add.setEnabled(true);
    withoutTable.selectionModel().select(lonely.index(1, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    EXPECT_EQ(enabled(), "ER--");
}

TEST_F(FileListControllerTest, MovesRunsOfSelectedRowsUpAndDown)
{
    model.replaceItems(fileItems({"/a", "/B", "/c"}));
    controller->ResetUIControls();
    select({1, 2});
    EXPECT_EQ(enabled(), "ERU-");
    controller->Move(FileListController::MoveUpSegment);
    EXPECT_EQ(paths(), (QStringList{"/B", "/c", "/a"}));
    EXPECT_EQ(controller->selectedRows(), (std::vector<int>{0, 1}));

    fill(5);
    select({0, 2, 3});
    EXPECT_EQ(enabled(), "ER-D");
    controller->MoveUp();
    EXPECT_EQ(paths(), (QStringList{"/r0", "/r1", "/r2", "/r3", "/r4"}));
    controller->MoveDown();
    EXPECT_EQ(paths(), (QStringList{"/r1", "/r0", "/r4", "/r2", "/r3"}));
    EXPECT_EQ(controller->selectedRows(), (std::vector<int>{1, 3, 4}));
    EXPECT_EQ(enabled(), "ERU-");
}

TEST_F(FileListControllerTest, MovesSelectedRowsToTheTopOrBottomInTheirOrder)
{
    fill(5);
    select({2, 4});
    controller->Move(FileListController::MoveTopSegment);
    EXPECT_EQ(paths(), (QStringList{"/r2", "/r4", "/r0", "/r1", "/r3"}));
    EXPECT_EQ(controller->selectedRows(), (std::vector<int>{0, 1}));

    select({0, 2});
    controller->Move(FileListController::MoveBottomSegment);
    EXPECT_EQ(paths(), (QStringList{"/r4", "/r1", "/r3", "/r2", "/r0"}));
    EXPECT_EQ(controller->selectedRows(), (std::vector<int>{3, 4}));
}

TEST_F(FileListControllerTest, RemovingSelectsTheRowThatTookTheFirstRemovedPlace)
{
    fill(4);
    select({1, 2});
    controller->Remove();
    EXPECT_EQ(paths(), (QStringList{"/r0", "/r3"}));
    EXPECT_EQ(controller->selectedRows(), std::vector<int>{1});

    select({1});
    controller->Remove();
    EXPECT_EQ(controller->selectedRows(), std::vector<int>{0});

    fill(3);
    select({});
    controller->Remove();
    EXPECT_EQ(model.numberOfRows(), 3);
    EXPECT_EQ(controller->selectedRows(), std::vector<int>{2});

    controller->RemoveAll();
    EXPECT_EQ(model.numberOfRows(), 0);
    EXPECT_EQ(enabled(), "----");
}

TEST_F(FileListControllerTest, SelectsFromARowClampedToTheList)
{
    fill(4);
    controller->SelectRowStartingAtRow(-1, 2);
    EXPECT_EQ(controller->selectedRows(), (std::vector<int>{0, 1}));
    controller->SelectRowStartingAtRow(9, 1);
    EXPECT_EQ(controller->selectedRows(), std::vector<int>{3});
    controller->SelectRowStartingAtRow(2, 5);
    EXPECT_EQ(controller->selectedRows(), (std::vector<int>{2, 3}));
    controller->SelectAll();
    EXPECT_EQ(controller->selectedRows().size(), 4u);
}

TEST_F(FileListControllerTest, DoubleClickRevealsTheSelectedItemOnly)
{
    std::vector<QUrl> revealed;
    controller->setRevealHandler([&revealed](const QUrl& url) { revealed.push_back(url); });
    fill(2);
    controller->ImageListViewDoubleClick();
    EXPECT_TRUE(revealed.empty());
    select({1});
    controller->ImageListViewDoubleClick();
    EXPECT_EQ(revealed, std::vector<QUrl>{QUrl::fromLocalFile(QStringLiteral("/r1"))});
}

TEST_F(FileListControllerTest, OnlyThePathColumnSortsAndAnAdditionClearsItsIndicator)
{
    model.replaceItems(fileItems({"/b", "/c", "/a"}));
    QHeaderView* header = table.horizontalHeader();
    header->setSortIndicator(FileListModel::IndexColumn, Qt::AscendingOrder);
    EXPECT_EQ(header->sortIndicatorSection(), -1);
    EXPECT_EQ(paths(), (QStringList{"/b", "/c", "/a"}));

    header->setSortIndicator(FileListModel::FilePathColumn, Qt::DescendingOrder);
    EXPECT_EQ(paths(), (QStringList{"/c", "/b", "/a"}));

    PendingFileListItems nothingTaken;
    nothingTaken.anEntryWasTried = true;
    controller->appendAddedItems(nothingTaken);
    EXPECT_EQ(header->sortIndicatorSection(), -1);
}

TEST_F(FileListControllerTest, AddedRowsAreAppendedAndSelectedButABatchKeepsItsControls)
{
    fill(2);
    select({0});
    PendingFileListItems nothingTaken;
    nothingTaken.anEntryWasTried = true;
    controller->appendAddedItems(nothingTaken);
    EXPECT_EQ(model.numberOfRows(), 2);
    EXPECT_EQ(controller->selectedRows(), std::vector<int>{0});

    PendingFileListItems added;
    added.items = fileItems({"/n0", "/n1"});
    controller->appendAddedItems(added);
    EXPECT_EQ(paths(), (QStringList{"/r0", "/r1", "/n0", "/n1"}));
    EXPECT_EQ(controller->selectedRows(), (std::vector<int>{2, 3}));
    EXPECT_EQ(enabled(), "ERU-");

    // A running batch has turned the list's commands off; rows arriving meanwhile leave them so.
    for (QAction* action : {&add, &exportSelected, &exportAll, &remove, &removeAll, &selectAll})
        action->setEnabled(false);
    controller->appendAddedItems(added);
    EXPECT_EQ(model.numberOfRows(), 6);
    EXPECT_EQ(enabled(), "----");
}

} // namespace
