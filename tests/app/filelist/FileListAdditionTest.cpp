#include "app/filelist/FileListAddition.h"

#include "FileListTestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace FileListTest;

namespace {

class FileListAddition : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(temp.isValid());
        root = QDir(temp.path()).filePath(QStringLiteral("F"));
        touch(root, QStringLiteral("a.chm"));
        touch(root, QStringLiteral("b.txt"));
        touch(root, QStringLiteral(".hidden.chm"));
        touch(root, QStringLiteral("S/c.CHM"));
        touch(root, QStringLiteral("S/deeper/d.Chm"));
        touch(root, QStringLiteral(".hiddenfolder/e.chm"));
        touch(root, QStringLiteral("T.chm/f.chm"));
    }

    PendingFileListItems add(const QStringList& paths, bool maintainDirTree, bool addRecursive)
    {
        QList<QUrl> urls;
        for (const QString& path : paths)
            urls.append(QUrl::fromLocalFile(path));
        PendingFileListItems pending;
        qint64 index = 0;
        AddUrlsObjIntoArray(pending, urls, maintainDirTree, addRecursive, index);
        EXPECT_EQ(index, static_cast<qint64>(pending.items.size()));
        return pending;
    }

    QTemporaryDir temp;
    QString root;
};

TEST_F(FileListAddition, RecursiveAddsEveryVisibleCHMFileAtAnyDepthInNameOrder)
{
    const PendingFileListItems pending = add({root}, false, true);
    EXPECT_EQ(pathsOf(pending.items, root),
        (QStringList{"a.chm", "S/c.CHM", "S/deeper/d.Chm", "T.chm/f.chm"}));
}

TEST_F(FileListAddition, OneLevelTakesWhatPassesTheNameTestEvenAFolderNamedLikeAFile)
{
    const PendingFileListItems pending = add({root}, false, false);
    EXPECT_EQ(pathsOf(pending.items, root), (QStringList{"a.chm", "T.chm"}));
    ASSERT_EQ(pending.items.size(), 2u);
    EXPECT_FALSE(pending.items[1].IsDir);
}

TEST_F(FileListAddition, EntriesComeInTheSameNameOrderWhateverTheirCase)
{
    const QString folder = QDir(temp.path()).filePath(QStringLiteral("order"));
    for (const char* name : {"z.chm", "B.chm", "a.chm", "A.chm", "file10.chm", "file9.chm"})
        touch(folder, QString::fromUtf8(name));
    const PendingFileListItems pending = add({folder}, false, false);
    EXPECT_EQ(pathsOf(pending.items, folder),
        (QStringList{"A.chm", "a.chm", "B.chm", "file10.chm", "file9.chm", "z.chm"}));
}

TEST_F(FileListAddition, SymbolicLinksToFoldersAreFollowedOnceSoLoopsEnd)
{
    const QString outside = QDir(temp.path()).filePath(QStringLiteral("G"));
    touch(outside, QStringLiteral("g.chm"));
    ASSERT_TRUE(QFile::link(root, QDir(root).filePath(QStringLiteral("S/loop"))));
    ASSERT_TRUE(QFile::link(outside, QDir(root).filePath(QStringLiteral("S/linked"))));

    const PendingFileListItems pending = add({root}, false, true);
    EXPECT_EQ(pathsOf(pending.items, root),
        (QStringList{"a.chm", "S/c.CHM", "S/deeper/d.Chm", "S/linked/g.chm", "T.chm/f.chm"}));
}

TEST_F(FileListAddition, TheSameFileTwiceGivesTwoItemsAndOtherFilesAreDroppedSilently)
{
    const QString a = QDir(root).filePath(QStringLiteral("a.chm"));
    const QString txt = QDir(root).filePath(QStringLiteral("b.txt"));
    const PendingFileListItems pending = add({a, txt, a}, false, true);
    EXPECT_EQ(pathsOf(pending.items, root), (QStringList{"a.chm", "a.chm"}));
}

} // namespace
