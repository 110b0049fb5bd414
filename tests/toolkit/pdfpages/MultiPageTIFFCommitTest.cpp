#include "interpose/RefusedRename.h"
#include "toolkit/pdfpages/MultiPageTIFFFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <vector>

namespace {

bool WriteOnePage(MultiPageTIFFFile& file)
{
    const std::vector<unsigned char> pixels(4 * 4 * 3, 0x80);
    return file.isOpen() && WriteTIFFPage(72, 72, file.handle(), 4, 4, pixels.data(), 4 * 3, TIFFPageModel::RGB, 0, 1);
}

} // namespace

TEST(MultiPageTIFFCommit, AReplacementThatCannotBePutInPlaceKeepsTheEarlierFile)
{
    QTemporaryDir folder;
    const QString target = folder.filePath(QString::fromLatin1(kRefusedRenamePrefix) + QStringLiteral(".tiff"));
    {
        QFile earlier(target);
        ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
        earlier.write("earlier file");
    }
    {
        MultiPageTIFFFile file(target, true);
        ASSERT_TRUE(WriteOnePage(file));
        EXPECT_FALSE(file.commit());
    }
    QFile kept(target);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), QByteArray("earlier file"));
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);

    // Elsewhere the same replacement goes through.
    const QString accepted = folder.filePath(QStringLiteral("accepted.tiff"));
    {
        QFile earlier(accepted);
        ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
    }
    MultiPageTIFFFile file(accepted, true);
    ASSERT_TRUE(WriteOnePage(file));
    EXPECT_TRUE(file.commit());
    EXPECT_GT(QFile(accepted).size(), 0);
}
