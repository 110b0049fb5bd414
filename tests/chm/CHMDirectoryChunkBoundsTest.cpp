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

// A directory of two chunks, a listing (0) and an index over it (1), followed in the file by a
// third chunk that is a copy of the listing but lies past the directory's end.
QByteArray containerWithChunkPastTheDirectory(quint64 indexRoot, quint64 listingHead)
{
    constexpr qsizetype kChunk = 0x100;
    constexpr qsizetype kDirectory = kOwnDirectoryAt;
    QByteArray file = twoChunkDirectory(kChunk, 3);
    writeLE(file, kDirectory + kIndexRoot, indexRoot, 4);
    writeLE(file, kDirectory + kListingHead, listingHead, 4);
    const QByteArray listing = QByteArray("\x02/a\x00\x00\x00", 6);
    const qsizetype first = kDirectory + 0x54;
    file.replace(first, 4, "PMGL");
    writeLE(file, first + 4, kChunk - 0x14 - listing.size(), 4);
    writeLE(file, first + 12, 0xFFFFFFFF, 4);
    writeLE(file, first + 16, 0xFFFFFFFF, 4);
    file.replace(first + 0x14, listing.size(), listing);
    const QByteArray index = QByteArray("\x02/a\x00", 4);
    const qsizetype second = first + kChunk;
    file.replace(second, 4, "PMGI");
    writeLE(file, second + 4, kChunk - 8 - index.size(), 4);
    file.replace(second + 8, index.size(), index);
    file.replace(second + kChunk, kChunk, file.mid(first, kChunk));
    return file;
}

} // namespace

TEST(CHMDirectoryChunkBounds, AChunkPastTheDirectoryIsNeverRead)
{
    EXPECT_TRUE(CHMContainerCheck::isSafeContainer(containerWithChunkPastTheDirectory(1, 0)));
    EXPECT_TRUE(CHMContainerCheck::isSafeContainer(containerWithChunkPastTheDirectory(0, 0)));
    // Chunk 2 looks sound, but it is not in the directory: chmlib would read it from past its buffer.
    EXPECT_FALSE(CHMContainerCheck::isSafeContainer(containerWithChunkPastTheDirectory(2, 0)));
    EXPECT_FALSE(CHMContainerCheck::isSafeContainer(containerWithChunkPastTheDirectory(1, 2)));
    EXPECT_FALSE(CHMContainerCheck::isSafeContainer(containerWithChunkPastTheDirectory(3, 0)));
}

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

TEST(CHMDirectoryChunkBounds, ChunksTooShortToHoldTheirHeaderAreRefused)
{
    // A chunk length of 0 would divide by zero when the chunks are counted.
    for (const quint64 length : {0u, 1u, 0x13u}) {
        QByteArray file = containerWithChunkPastTheDirectory(1, 0);
        writeLE(file, 0x60 + 0x10, length, 4);
        EXPECT_FALSE(CHMContainerCheck::isSafeContainer(file)) << length;
    }
}
