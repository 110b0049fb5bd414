#include "common/UniqueFileNames.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class UniqueFileNames : public testing::Test {
protected:
    QUrl folder() const { return QUrl::fromLocalFile(m_dir.path()); }
    QString path(const QString& name) const { return m_dir.filePath(name); }
    QUrl url(const QString& name) const { return QUrl::fromLocalFile(path(name)); }

    void createFile(const QString& name, const QByteArray& contents = "x") const
    {
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(contents);
    }

    QTemporaryDir m_dir;
};

TEST_F(UniqueFileNames, CountsUpFromOneAfterTheUnnumberedName)
{
    EXPECT_EQ(WBQUtil::GetUniqueFileURL(folder(), "Guide", "pdf", false), url("Guide.pdf"));
    createFile("Guide.pdf");
    EXPECT_EQ(WBQUtil::GetUniqueFileURL(folder(), "Guide", "pdf", false), url("Guide 1.pdf"));
    createFile("Guide 1.pdf");
    EXPECT_EQ(WBQUtil::GetUniqueFileURL(folder(), "Guide", "pdf", false), url("Guide 2.pdf"));
    // The first free name in order wins: once "Guide.pdf" is gone it is the answer again.
    QFile::remove(path("Guide.pdf"));
    EXPECT_EQ(WBQUtil::GetUniqueFileURL(folder(), "Guide", "pdf", false), url("Guide.pdf"));
    EXPECT_TRUE(QFileInfo::exists(path("Guide 1.pdf")));
}

TEST_F(UniqueFileNames, NamesWithoutExtensionHaveNoTrailingDot)
{
    for (const QString& extension : {QString(), QStringLiteral("")}) {
        QTemporaryDir dir;
        const QUrl here = QUrl::fromLocalFile(dir.path());
        const auto unique = [&] { return WBQUtil::GetUniqueFileURL(here, "Guide", extension, false).toLocalFile(); };
        EXPECT_EQ(unique(), dir.filePath("Guide"));
        QFile(dir.filePath("Guide")).open(QIODevice::WriteOnly);
        EXPECT_EQ(unique(), dir.filePath("Guide 1"));
        QFile(dir.filePath("Guide 1")).open(QIODevice::WriteOnly);
        EXPECT_EQ(unique(), dir.filePath("Guide 2"));
    }
}

TEST_F(UniqueFileNames, FoldersAndDanglingLinksTakeTheirNames)
{
    ASSERT_TRUE(QDir(m_dir.path()).mkdir("Guide.pdf"));
    EXPECT_EQ(WBQUtil::GetUniqueFileURL(folder(), "Guide", "pdf", false), url("Guide 1.pdf"));

    // Writing through a dangling link would create a file wherever it points.
    const QString elsewhere = m_dir.filePath("missing/target.pdf");
    ASSERT_TRUE(QFile::link(elsewhere, path("Manual.pdf")));
    EXPECT_EQ(WBQUtil::GetUniqueFileURL(folder(), "Manual", "pdf", false), url("Manual 1.pdf"));
    EXPECT_FALSE(QFileInfo::exists(elsewhere));
}

TEST_F(UniqueFileNames, ReplaceDeletesAnExistingFileAndReturnsItsName)
{
    createFile("Guide.pdf");
    EXPECT_EQ(WBQUtil::GetUniqueFileURL(folder(), "Guide", "pdf", true), url("Guide.pdf"));
    EXPECT_FALSE(QFileInfo::exists(path("Guide.pdf")));
}

TEST_F(UniqueFileNames, ReplaceDeletesALinkButNotWhatItPointsTo)
{
    createFile("real.pdf", "keep me");
    ASSERT_TRUE(QFile::link(path("real.pdf"), path("Guide.pdf")));
    EXPECT_EQ(WBQUtil::GetUniqueFileURL(folder(), "Guide", "pdf", true), url("Guide.pdf"));
    EXPECT_FALSE(QFileInfo(path("Guide.pdf")).isSymLink());
    QFile kept(path("real.pdf"));
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), QByteArray("keep me"));
}

TEST_F(UniqueFileNames, ReplaceNeverDeletesAFolderAndMovesOnToTheNextNumber)
{
    ASSERT_TRUE(QDir(m_dir.path()).mkpath("Guide.pdf/chapter"));
    createFile("Guide.pdf/chapter/page.html");
    EXPECT_EQ(WBQUtil::GetUniqueFileURL(folder(), "Guide", "pdf", true), url("Guide 1.pdf"));
    EXPECT_TRUE(QFileInfo::exists(path("Guide.pdf/chapter/page.html")));

    // Each further existing candidate is offered for deletion in turn.
    createFile("Guide 1.pdf");
    EXPECT_EQ(WBQUtil::GetUniqueFileURL(folder(), "Guide", "pdf", true), url("Guide 1.pdf"));
    EXPECT_FALSE(QFileInfo::exists(path("Guide 1.pdf")));
}

TEST_F(UniqueFileNames, OutputNameDropsOnlyTheLastExtensionOfTheSource)
{
    const QUrl source = QUrl::fromLocalFile("/books/User.Guide.chm");
    EXPECT_EQ(WBQUtil::GetUniqueOutputURL(folder(), source, "pdf", false), url("User.Guide.pdf"));
    createFile("User.Guide.pdf");
    EXPECT_EQ(WBQUtil::GetUniqueOutputURL(folder(), source, "pdf", false), url("User.Guide 1.pdf"));
    EXPECT_EQ(WBQUtil::GetUniqueOutputURL(folder(), QUrl::fromLocalFile("/books/Manual"), "pdf", false),
              url("Manual.pdf"));
    EXPECT_EQ(WBQUtil::GetUniqueOutputURL(folder(), QUrl::fromLocalFile("/books/.chm"), "pdf", false), url(".chm.pdf"));
}

TEST_F(UniqueFileNames, NamesOutsideALocalFolderAreRefused)
{
    EXPECT_TRUE(WBQUtil::GetUniqueFileURL(QUrl("https://example.org/out/"), "Guide", "pdf", false).isEmpty());
    EXPECT_TRUE(WBQUtil::GetUniqueFolderURL(QUrl(), "Docs", false).isEmpty());
}

TEST_F(UniqueFileNames, FolderNamesSkipOnlyExistingFolders)
{
    EXPECT_EQ(WBQUtil::GetUniqueFolderURL(folder(), "Docs", false), url("Docs"));
    ASSERT_TRUE(QDir(m_dir.path()).mkdir("Docs"));
    ASSERT_TRUE(QDir(m_dir.path()).mkdir("Docs 1"));
    EXPECT_EQ(WBQUtil::GetUniqueFolderURL(folder(), "Docs", false), url("Docs 2"));

    const QUrl created = WBQUtil::GetUniqueFolderURLForURL(folder(), QUrl::fromLocalFile("/in/Docs.chm"), true);
    EXPECT_EQ(created, url("Docs 2"));
    EXPECT_TRUE(QFileInfo(path("Docs 2")).isDir());
}

TEST_F(UniqueFileNames, AFileInTheWayOfAFolderIsNotTakenButCannotBeCreated)
{
    createFile("Docs");
    EXPECT_EQ(WBQUtil::GetUniqueFolderURL(folder(), "Docs", false), url("Docs"));
    EXPECT_TRUE(WBQUtil::GetUniqueFolderURL(folder(), "Docs", true).isEmpty());
    EXPECT_TRUE(QFileInfo(path("Docs")).isFile());
}

TEST_F(UniqueFileNames, CreatingAFolderMakesMissingParents)
{
    const QUrl parent = url("a/b");
    EXPECT_EQ(WBQUtil::GetUniqueFolderURL(parent, "Docs", true), url("a/b/Docs"));
    EXPECT_TRUE(QFileInfo(path("a/b/Docs")).isDir());
}

} // namespace
