#include "app/filelist/FileListAdder.h"

#include "app/filelist/FileListController.h"
#include "app/filelist/FileListModel.h"
#include "app/filelist/FileListTableView.h"

#include "FileListTestSupport.h"

#include <QDir>
#include <QHeaderView>
#include <QMimeData>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace FileListTest;

namespace {

constexpr int kGenerousWaitMs = 60000;

class FileListAdderTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(temp.isValid());
        root = QDir(temp.path()).filePath(QStringLiteral("F"));
        touch(root, QStringLiteral("a.chm"));
        touch(root, QStringLiteral("b.txt"));
        touch(root, QStringLiteral(".hidden.chm"));
        touch(root, QStringLiteral("S/c.CHM"));
        controller.attachTableView(&table);
    }

    // Waits until as many additions as asked for have finished on their threads.
    void waitForAdditions(int count)
    {
        while (finished.size() < count)
            ASSERT_TRUE(finished.wait(kGenerousWaitMs)) << "an addition never finished";
    }

    QStringList paths() const { return pathsOf(model.items(), root); }

    QTemporaryDir temp;
    QString root;
    FileListModel model;
    FileListController controller{model, FileListControls{}};
    FileListTableView table;
    FileListAdder adder{controller};
    QSignalSpy finished{&adder, &FileListAdder::additionFinished};
};

TEST_F(FileListAdderTest, AddsAFolderInEachOfTheThreeWays)
{
    adder.startAddition({QUrl::fromLocalFile(root)}, true, true);
    waitForAdditions(1);
    EXPECT_EQ(paths(), QStringList{QStringLiteral("./")});

    adder.startAddition({QUrl::fromLocalFile(root)}, false, true);
    waitForAdditions(2);
    EXPECT_EQ(paths(), (QStringList{"./", "a.chm", "S/c.CHM"}));
    EXPECT_EQ(controller.selectedRows(), (std::vector<int>{1, 2}));

    adder.startAddition({QUrl::fromLocalFile(root)}, false, false);
    waitForAdditions(3);
    EXPECT_EQ(paths(), (QStringList{"./", "a.chm", "S/c.CHM", "a.chm"}));
    EXPECT_EQ(controller.selectedRows(), std::vector<int>{3});
}

TEST_F(FileListAdderTest, AdditionsAskedTogetherLandOneAfterTheOtherEachInOnePiece)
{
    const QString other = QDir(temp.path()).filePath(QStringLiteral("G"));
    for (int i = 0; i < 20; ++i)
        touch(other, QStringLiteral("g%1.chm").arg(i, 2, 10, QLatin1Char('0')));

    adder.startAddition({QUrl::fromLocalFile(other)}, false, true);
    adder.startAddition({QUrl::fromLocalFile(root)}, false, true);
    waitForAdditions(2);

    ASSERT_EQ(model.numberOfRows(), 22);
    const QStringList all = paths();
    const qsizetype firstOfRoot = all.indexOf(QStringLiteral("a.chm"));
    ASSERT_TRUE(firstOfRoot == 0 || firstOfRoot == 20);
    EXPECT_EQ(all.at(firstOfRoot + 1), QStringLiteral("S/c.CHM"));
}

TEST_F(FileListAdderTest, NothingToAddLeavesListAndSelectionButClearsTheSortIndicator)
{
    adder.openFiles({QDir(root).filePath(QStringLiteral("a.chm"))});
    waitForAdditions(1);
    table.sortDescriptorsDidChange(Qt::AscendingOrder);
    ASSERT_EQ(table.horizontalHeader()->sortIndicatorSection(), FileListModel::FilePathColumn);

    adder.openFiles({QDir(root).filePath(QStringLiteral("b.txt")), QString()});
    waitForAdditions(2);
    EXPECT_EQ(paths(), QStringList{QStringLiteral("a.chm")});
    EXPECT_EQ(controller.selectedRows(), std::vector<int>{0});
    EXPECT_EQ(table.horizontalHeader()->sortIndicatorSection(), -1);
}

TEST_F(FileListAdderTest, FilesDroppedFromOutsideAreAddedAtEveryDepth)
{
    QMimeData drop;
    drop.setUrls({QUrl::fromLocalFile(root)});
    ASSERT_TRUE(model.dropMimeData(&drop, Qt::CopyAction, -1, -1, {}));
    waitForAdditions(1);
    EXPECT_EQ(paths(), (QStringList{"a.chm", "S/c.CHM"}));
}

TEST_F(FileListAdderTest, RelativePathsFromTheCommandLineStartAtTheWorkingFolder)
{
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(root));
    adder.openFiles({QStringLiteral("S/../a.chm")});
    QDir::setCurrent(previous);
    waitForAdditions(1);
    EXPECT_EQ(paths(), QStringList{QStringLiteral("a.chm")});
}

} // namespace
