// The used part of a directory chunk: its entries run up to where the free space at the chunk's
// end starts. A chunk may hold no entries at all; chmlib reads such a chunk as empty. Names up to
// chmlib's longest path are read.

#include "CompiledFileBytes.h"

#include "chm/CHMContainerCheck.h"

#include <gtest/gtest.h>

namespace {

constexpr qsizetype kChunk = 0x400;
constexpr qsizetype kDirectory = kOwnDirectoryAt;
constexpr qsizetype kListingEntries = 0x14;
constexpr qsizetype kIndexEntries = 0x08;

// The entries of each chunk, and how much free space each claims beyond what its entries leave.
struct Chunks {
    QByteArray listing = QByteArray("\x02/a\x00\x00\x00", 6);
    QByteArray index = QByteArray("\x02/a\x00", 4);
    qsizetype listingFreeExtra = 0;
    qsizetype indexFreeExtra = 0;
};

// A directory of a listing chunk (0) and an index chunk over it (1), the root.
QByteArray container(const Chunks& chunks)
{
    QByteArray file = twoChunkDirectory(kChunk);
    const qsizetype listing = kDirectory + 0x54;
    file.replace(listing, 4, "PMGL");
    writeLE(file, listing + 4, static_cast<quint64>(kChunk - kListingEntries - chunks.listing.size() + chunks.listingFreeExtra), 4);
    writeLE(file, listing + 12, 0xFFFFFFFF, 4);
    writeLE(file, listing + 16, 0xFFFFFFFF, 4);
    file.replace(listing + kListingEntries, chunks.listing.size(), chunks.listing);
    const qsizetype index = listing + kChunk;
    file.replace(index, 4, "PMGI");
    writeLE(file, index + 4, static_cast<quint64>(kChunk - kIndexEntries - chunks.index.size() + chunks.indexFreeExtra), 4);
    file.replace(index + kIndexEntries, chunks.index.size(), chunks.index);
    return file;
}

} // namespace

TEST(CHMDirectoryEntries, ChunksWithoutEntriesAreRead)
{
    ASSERT_TRUE(CHMContainerCheck::isSafeContainer(container({})));
    EXPECT_TRUE(CHMContainerCheck::isSafeContainer(container({.listing = {}}))) << "empty listing chunk";
    EXPECT_TRUE(CHMContainerCheck::isSafeContainer(container({.index = {}}))) << "empty index chunk";
}

TEST(CHMDirectoryEntries, FreeSpaceBeyondTheChunksRoomIsRefused)
{
    EXPECT_FALSE(CHMContainerCheck::isSafeContainer(container({.listing = {}, .listingFreeExtra = 1})));
    EXPECT_FALSE(CHMContainerCheck::isSafeContainer(container({.index = {}, .indexFreeExtra = 1})));
    // Free space that cuts into the entries leaves the last one short of its fields.
    EXPECT_FALSE(CHMContainerCheck::isSafeContainer(container({.listingFreeExtra = 1})));
    EXPECT_FALSE(CHMContainerCheck::isSafeContainer(container({.indexFreeExtra = 1})));
}

TEST(CHMDirectoryEntries, NamesAsLongAsChmlibsLongestPathAreRead)
{
    // A name of 512 bytes (its length in two bytes of seven bits), section, start and length.
    const auto entryNamed = [](qsizetype length) {
        return QByteArray(1, static_cast<char>(0x80 | (length >> 7))) + static_cast<char>(length & 0x7F) + '/'
               + QByteArray(length - 1, 'n') + QByteArray(3, '\0');
    };
    EXPECT_TRUE(CHMContainerCheck::isSafeContainer(container({.listing = entryNamed(512)})));
    EXPECT_FALSE(CHMContainerCheck::isSafeContainer(container({.listing = entryNamed(513)})));
}
