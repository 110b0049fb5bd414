// Directory chunk numbers on the edge of the directory: the index root and the listing head name
// chunks 0 to count - 1; the count itself lies past the last one.

#include "CompiledFileBytes.h"

#include "chm/CHMContainerCheck.h"

#include "support/FixtureFiles.h"
#include "support/TestSupport.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

constexpr qsizetype kIndexRoot = 0x1C;
constexpr qsizetype kListingHead = 0x20;

struct DirectoryShape {
    qsizetype headerAt = 0;
    quint64 chunkCount = 0;
};

DirectoryShape shapeOf(const QByteArray& file)
{
    const auto at = static_cast<qsizetype>(readLE(file, 0x48, 8));
    const quint64 length = readLE(file, 0x50, 8);
    const quint64 chunkLength = readLE(file, at + 0x10, 4);
    return {at, (length - 0x54) / chunkLength};
}

QByteArray fixtureBytes()
{
    QFile file(TestSupport::fixturePath(QStringLiteral("chm-basic")));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray withChunkNumber(QByteArray file, qsizetype field, quint64 chunk)
{
    writeLE(file, shapeOf(file).headerAt + field, chunk, 4);
    return file;
}

} // namespace

TEST(CHMDirectoryChunkBounds, AnIndexRootOrListingHeadEqualToTheChunkCountIsRefused)
{
    const QByteArray file = fixtureBytes();
    ASSERT_FALSE(file.isEmpty());
    ASSERT_TRUE(CHMContainerCheck::isSafeContainer(file));
    const quint64 count = shapeOf(file).chunkCount;
    ASSERT_GT(count, 0u);
    EXPECT_FALSE(CHMContainerCheck::isSafeContainer(withChunkNumber(file, kIndexRoot, count)));
    EXPECT_FALSE(CHMContainerCheck::isSafeContainer(withChunkNumber(file, kListingHead, count)));
    EXPECT_FALSE(CHMContainerCheck::isSafeContainer(withChunkNumber(file, kIndexRoot, count + 1)));
}

TEST(CHMDirectoryChunkBounds, TheRefusedFileDoesNotOpen)
{
    QTemporaryDir folder;
    const QString patched = FixtureFiles::patchedFixture(folder, QStringLiteral("chm-basic"), [](QByteArray& file) {
        writeLE(file, shapeOf(file).headerAt + kIndexRoot, shapeOf(file).chunkCount, 4);
    });
    EXPECT_FALSE(CHMContainerCheck::isSafeToOpen(patched));
}
