#include "app/filelist/FileListModel.h"

#include "FileListTestSupport.h"

#include <QItemSelectionModel>
#include <QLocale>
#include <QMimeData>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <memory>

using namespace FileListTest;

namespace {

QStringList Paths(const FileListModel& model)
{
    return pathsOf(model.items());
}

std::unique_ptr<QMimeData> DragRows(const FileListModel& model, std::initializer_list<int> rows)
{
    QModelIndexList indexes;
    for (const int row : rows) {
        indexes.append(model.index(row, FileListModel::IndexColumn));
        indexes.append(model.index(row, FileListModel::FilePathColumn));
    }
    return std::unique_ptr<QMimeData>(model.mimeData(indexes));
}

TEST(FileListModel, ShowsRowNumbersAndPathsWithFoldersStarred)
{
    FileListModel model;
    model.appendItems({fileItem("/x/a.chm"), folderItem("/x/F")});
    EXPECT_EQ(FileListModel::columnIdentifier(FileListModel::FilePathColumn), QStringLiteral("FilePath"));
    EXPECT_EQ(model.index(1, FileListModel::IndexColumn).data().toString(), QStringLiteral("2"));
    EXPECT_EQ(model.index(0, FileListModel::FilePathColumn).data().toString(), QStringLiteral("/x/a.chm"));
    EXPECT_EQ(model.index(1, FileListModel::FilePathColumn).data().toString(), QStringLiteral("\u2605 /x/F"));
    EXPECT_FALSE(model.flags(model.index(0, FileListModel::FilePathColumn)) & Qt::ItemIsEditable);
    EXPECT_TRUE(model.GetPathAtIndexImageList(2).isEmpty());
    EXPECT_TRUE(model.GetPathAtIndexImageList(-1).isEmpty());
}

TEST(FileListModel, SortsByFolderThenNameWithNumbersByValueInTheCLocale)
{
    const QLocale previous;
    QLocale::setDefault(QLocale::c());
    FileListModel model;
    model.appendItems(fileItems({"/x/b.chm", "/x/a10.chm", "/w/z.chm", "/x/a9.chm"}));

    model.sort(FileListModel::FilePathColumn, Qt::AscendingOrder);
    EXPECT_EQ(Paths(model), (QStringList{"/w/z.chm", "/x/a9.chm", "/x/a10.chm", "/x/b.chm"}));
    model.sort(FileListModel::FilePathColumn, Qt::DescendingOrder);
    EXPECT_EQ(Paths(model), (QStringList{"/x/b.chm", "/x/a10.chm", "/x/a9.chm", "/w/z.chm"}));
    model.sort(FileListModel::IndexColumn, Qt::AscendingOrder);
    EXPECT_EQ(Paths(model), (QStringList{"/x/b.chm", "/x/a10.chm", "/x/a9.chm", "/w/z.chm"}));
    QLocale::setDefault(previous);
}

TEST(FileListModel, SortingPutsMissingPathsLastAndKeepsSelectedRowNumbers)
{
    FileListModel model;
    model.appendItems({FileListItem{QUrl(), false}, fileItem("/b.chm"), fileItem("/a.chm")});
    QItemSelectionModel selection(&model);
    selection.select(model.index(0, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);

    for (const Qt::SortOrder order : {Qt::AscendingOrder, Qt::DescendingOrder}) {
        model.sort(FileListModel::FilePathColumn, order);
        EXPECT_TRUE(model.items().back().FilePath.isEmpty());
        EXPECT_TRUE(selection.isRowSelected(0));
        EXPECT_EQ(selection.selectedRows().size(), 1);
    }
}

TEST(FileListModel, DroppingTwoDraggedRowsBetweenOthersMovesThemAsOneBlock)
{
    FileListModel model;
    model.appendItems(fileItems({"/r0", "/r1", "/r2", "/r3", "/r4"}));
    QSignalSpy dropped(&model, &FileListModel::rowsDropped);

    const std::unique_ptr<QMimeData> drag = DragRows(model, {0, 1});
    ASSERT_NE(drag, nullptr);
    EXPECT_TRUE(model.canDropMimeData(drag.get(), Qt::MoveAction, 4, 0, {}));
    EXPECT_FALSE(model.canDropMimeData(drag.get(), Qt::MoveAction, -1, -1, model.index(3, 0)));
    ASSERT_TRUE(model.dropMimeData(drag.get(), Qt::MoveAction, 4, 0, {}));
    EXPECT_EQ(Paths(model), (QStringList{"/r2", "/r3", "/r0", "/r1", "/r4"}));
    ASSERT_EQ(dropped.size(), 1);
    EXPECT_EQ(dropped.at(0), (QVariantList{2, 2}));

    // The drag is over: the same data cannot be dropped a second time.
    EXPECT_FALSE(model.dropMimeData(drag.get(), Qt::MoveAction, 0, 0, {}));
}

TEST(FileListModel, DroppingARowWhereItStandsLeavesTheListAsItIs)
{
    // The gap just above the dragged row and the one just below it are both its own place.
    for (const int dropRow : {1, 2}) {
        FileListModel model;
        model.appendItems(fileItems({"/r0", "/r1", "/r2", "/r3"}));
        QSignalSpy dropped(&model, &FileListModel::rowsDropped);
        const std::unique_ptr<QMimeData> drag = DragRows(model, {1});
        ASSERT_NE(drag, nullptr);
        ASSERT_TRUE(model.dropMimeData(drag.get(), Qt::MoveAction, dropRow, 0, {}));
        EXPECT_EQ(Paths(model), (QStringList{"/r0", "/r1", "/r2", "/r3"})) << dropRow;
        ASSERT_EQ(dropped.size(), 1);
        EXPECT_EQ(dropped.at(0), (QVariantList{1, 1})) << dropRow;
    }
}

TEST(FileListModel, RefusesDraggingEveryRowAndDroppingRowsOntoARow)
{
    FileListModel model;
    model.appendItems(fileItems({"/r0", "/r1", "/r2"}));
    EXPECT_EQ(DragRows(model, {0, 1, 2}), nullptr);

    const std::unique_ptr<QMimeData> drag = DragRows(model, {2});
    ASSERT_NE(drag, nullptr);
    EXPECT_FALSE(model.dropMimeData(drag.get(), Qt::MoveAction, -1, -1, model.index(0, 0)));
    EXPECT_EQ(Paths(model), (QStringList{"/r0", "/r1", "/r2"}));
}

TEST(FileListModel, ADuplicatedFileDraggedTwiceMovesOnlyItsFirstRow)
{
    FileListModel model;
    model.appendItems(fileItems({"/a", "/b", "/a", "/c"}));
    const std::unique_ptr<QMimeData> drag = DragRows(model, {0, 2});
    ASSERT_TRUE(model.dropMimeData(drag.get(), Qt::MoveAction, -1, -1, {}));
    EXPECT_EQ(Paths(model), (QStringList{"/b", "/a", "/c", "/a"}));
}

TEST(FileListModel, FilesFromElsewhereAreHandedOnAndOtherDataIsRefused)
{
    FileListModel model;
    model.appendItems(fileItems({"/r0", "/r1"}));
    QSignalSpy filesDropped(&model, &FileListModel::filesDropped);

    // Rows dragged from another list are someone else's: only their files would count.
    FileListModel other;
    other.appendItems(fileItems({"/o0", "/o1"}));
    const std::unique_ptr<QMimeData> foreignRows = DragRows(other, {0});
    EXPECT_FALSE(model.canDropMimeData(foreignRows.get(), Qt::MoveAction, 0, 0, {}));
    EXPECT_FALSE(model.dropMimeData(foreignRows.get(), Qt::MoveAction, 0, 0, {}));

    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(QStringLiteral("/in/a.chm")), QUrl(QStringLiteral("https://host/b.chm"))});
    EXPECT_TRUE(model.canDropMimeData(&files, Qt::CopyAction, 0, 0, model.index(0, 0)));
    EXPECT_TRUE(model.dropMimeData(&files, Qt::CopyAction, 0, 0, model.index(0, 0)));
    ASSERT_EQ(filesDropped.size(), 1);
    EXPECT_EQ(filesDropped.at(0).at(0).value<QList<QUrl>>(), QList<QUrl>{QUrl::fromLocalFile(QStringLiteral("/in/a.chm"))});

    QMimeData text;
    text.setText(QStringLiteral("/in/a.chm"));
    EXPECT_FALSE(model.dropMimeData(&text, Qt::CopyAction, 0, 0, {}));
    EXPECT_EQ(model.numberOfRows(), 2);
}

} // namespace
