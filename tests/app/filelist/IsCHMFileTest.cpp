#include "app/filelist/IsCHMFile.h"

#include <gtest/gtest.h>

namespace {

QString Check(const char* path)
{
    return IsCHMFile(QUrl::fromLocalFile(QString::fromUtf8(path)));
}

TEST(IsCHMFile, AcceptsOnlyTheThreeSpellingsOfTheLastComponentsExtension)
{
    EXPECT_EQ(Check("/d/a.chm"), QStringLiteral("chm"));
    EXPECT_EQ(Check("/d/a.CHM"), QStringLiteral("CHM"));
    EXPECT_EQ(Check("/d/User.Guide.Chm"), QStringLiteral("Chm"));

    EXPECT_TRUE(Check("/d/x.cHm").isNull());
    EXPECT_TRUE(Check("/d/x.chM").isNull());
    EXPECT_TRUE(Check("/d/x.chm.txt").isNull());
    EXPECT_TRUE(Check("/d/chm").isNull());
    EXPECT_TRUE(Check("/d/x.").isNull());
    // Only the last component counts, folder or not.
    EXPECT_TRUE(Check("/d/folder.chm/readme").isNull());
    EXPECT_EQ(Check("/d/Folder.chm/"), QStringLiteral("chm"));
    EXPECT_EQ(IsCHMFile(QUrl(QStringLiteral("file:///d/a%20b.chm"))), QStringLiteral("chm"));
}

} // namespace
