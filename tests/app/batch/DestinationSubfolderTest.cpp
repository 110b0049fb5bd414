#include "app/batch/DestinationSubfolder.h"
#include "support/BatchTestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace BatchTestFiles;

namespace {

TEST(DestinationSubfolder, AFreeNameIsMadeAndAnExistingFolderTakenAsItIs)
{
    QTemporaryDir out;
    QUrl folder = QUrl::fromLocalFile(QStringLiteral("/somewhere/Manuals/"));
    ASSERT_EQ(GetDestinationDirURLFor(&folder, QUrl::fromLocalFile(out.path())), 0);
    EXPECT_EQ(folder, urlOf(out.path(), QStringLiteral("Manuals")));
    EXPECT_TRUE(QFileInfo(folder.toLocalFile()).isDir());

    makeFile(out.path(), QStringLiteral("Manuals/kept.pdf"));
    QUrl again = QUrl::fromLocalFile(QStringLiteral("/elsewhere/Manuals"));
    ASSERT_EQ(GetDestinationDirURLFor(&again, QUrl::fromLocalFile(out.path())), 0);
    EXPECT_EQ(again, folder);
    EXPECT_TRUE(QFile::exists(QDir(out.path()).filePath(QStringLiteral("Manuals/kept.pdf"))));
}

TEST(DestinationSubfolder, NamesHeldByFilesOrDanglingLinksAreSkipped)
{
    QTemporaryDir out;
    makeFile(out.path(), QStringLiteral("Manuals"), "file");
    ASSERT_TRUE(QFile::link(QStringLiteral("/nonexistent/target"), QDir(out.path()).filePath(QStringLiteral("Manuals 1"))));
    QUrl folder = QUrl::fromLocalFile(QStringLiteral("/somewhere/Manuals"));
    ASSERT_EQ(GetDestinationDirURLFor(&folder, QUrl::fromLocalFile(out.path())), 0);
    EXPECT_EQ(folder, urlOf(out.path(), QStringLiteral("Manuals 2")));
    EXPECT_TRUE(QFileInfo(folder.toLocalFile()).isDir());
}

TEST(DestinationSubfolder, AFolderThatCannotBeMadeIsAnErrorAndLeavesTheURLAlone)
{
    QTemporaryDir out;
    const QUrl missingParent = urlOf(out.path(), QStringLiteral("not/there"));
    const QUrl original = QUrl::fromLocalFile(QStringLiteral("/somewhere/Manuals"));
    QUrl folder = original;
    EXPECT_NE(GetDestinationDirURLFor(&folder, missingParent), 0);
    EXPECT_EQ(folder, original);
    EXPECT_FALSE(QFileInfo::exists(missingParent.toLocalFile()));
}

} // namespace
