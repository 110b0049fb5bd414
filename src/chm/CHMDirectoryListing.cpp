#include "chm/CHMDirectoryListing.h"

#include <QFile>

#include <cstdint>
#include <vector>

namespace {

// The file header: where the directory lies, each a little-endian u64.
constexpr qint64 kDirectoryOffsetField = 0x48;
constexpr qint64 kDirectoryLengthField = 0x50;
constexpr qint64 kFileHeaderLength = 0x58;
// A directory is a few megabytes even for the largest help files.
constexpr std::uint64_t kMaximumDirectoryLength = 256ull << 20;

// The directory header: chunk size, first listing chunk, chunk count; chunks follow the header.
constexpr qsizetype kDirectoryHeaderLengthField = 0x08;
constexpr qsizetype kChunkLengthField = 0x10;
constexpr qsizetype kFirstListingChunkField = 0x20;
constexpr qsizetype kChunkCountField = 0x28;
constexpr qsizetype kDirectoryHeaderFieldsEnd = 0x2C;

// A listing chunk: "PMGL", free space at its end, then its neighbours; entries start at 20.
constexpr qsizetype kChunkFreeSpaceField = 4;
constexpr qsizetype kChunkPreviousField = 12;
constexpr qsizetype kChunkNextField = 16;
constexpr qsizetype kChunkEntriesStart = 20;

std::uint64_t readLittleEndian(const QByteArray& bytes, qsizetype offset, int width)
{
    std::uint64_t value = 0;
    for (int i = width - 1; i >= 0; --i)
        value = value << 8 | static_cast<unsigned char>(bytes[offset + i]);
    return value;
}

std::int32_t readSigned32(const QByteArray& bytes, qsizetype offset)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(readLittleEndian(bytes, offset, 4)));
}

// A variable-length number of the directory: seven bits a byte, most significant first, the high
// bit set on every byte but the last. Advances position; none when it runs past end.
std::optional<std::uint64_t> readEncodedInteger(const QByteArray& chunk, qsizetype& position, qsizetype end)
{
    std::uint64_t value = 0;
    for (int count = 0; count < 9 && position < end; ++count) {
        const auto byte = static_cast<unsigned char>(chunk[position++]);
        value = value << 7 | (byte & 0x7F);
        if ((byte & 0x80) == 0)
            return value;
    }
    return std::nullopt;
}

struct Chunk {
    QByteArray bytes;
    std::int32_t previous = -1;
    std::int32_t next = -1;
};

bool isListingChunk(const QByteArray& chunk)
{
    return chunk.size() >= kChunkEntriesStart && chunk.startsWith("PMGL");
}

// The names one listing chunk holds, in order; the walk stops at the first malformed entry.
void appendChunkNames(const QByteArray& chunk, QList<QByteArray>& names)
{
    const auto freeSpace = readLittleEndian(chunk, kChunkFreeSpaceField, 4);
    if (freeSpace > static_cast<std::uint64_t>(chunk.size() - kChunkEntriesStart))
        return;
    const qsizetype end = chunk.size() - static_cast<qsizetype>(freeSpace);
    qsizetype position = kChunkEntriesStart;
    while (position < end) {
        const auto nameLength = readEncodedInteger(chunk, position, end);
        if (!nameLength || *nameLength == 0 || *nameLength > static_cast<std::uint64_t>(end - position))
            return;
        const QByteArray name = chunk.mid(position, static_cast<qsizetype>(*nameLength));
        position += static_cast<qsizetype>(*nameLength);
        // Section, offset and length of the object.
        for (int field = 0; field < 3; ++field) {
            if (!readEncodedInteger(chunk, position, end))
                return;
        }
        names.append(name);
    }
}

// Listing chunks in directory order: along the chain from the first chunk that has no
// predecessor, then any listing chunk the chain did not reach, in file order.
std::vector<std::size_t> listingOrder(const std::vector<Chunk>& chunks, std::int32_t announcedFirst)
{
    std::vector<bool> visited(chunks.size(), false);
    std::vector<std::size_t> order;
    auto followChain = [&](std::int64_t index) {
        while (index >= 0 && static_cast<std::size_t>(index) < chunks.size() && !visited[index]
               && isListingChunk(chunks[index].bytes)) {
            visited[index] = true;
            order.push_back(static_cast<std::size_t>(index));
            index = chunks[index].next;
        }
    };
    if (!chunks.empty() && isListingChunk(chunks[0].bytes) && chunks[0].previous == -1)
        followChain(0);
    followChain(announcedFirst);
    for (std::size_t index = 0; index < chunks.size(); ++index) {
        if (!visited[index] && isListingChunk(chunks[index].bytes))
            followChain(static_cast<std::int64_t>(index));
    }
    return order;
}

} // namespace

namespace CHMDirectoryListing {

std::optional<QList<QByteArray>> listObjectNamesInDirectory(const QByteArray& directory)
{
    if (directory.size() < kDirectoryHeaderFieldsEnd || !directory.startsWith("ITSP"))
        return std::nullopt;
    const auto headerLength = readLittleEndian(directory, kDirectoryHeaderLengthField, 4);
    const auto chunkLength = readLittleEndian(directory, kChunkLengthField, 4);
    const std::int32_t announcedFirst = readSigned32(directory, kFirstListingChunkField);
    const auto announcedCount = readLittleEndian(directory, kChunkCountField, 4);
    const auto size = static_cast<std::uint64_t>(directory.size());
    if (headerLength > size || chunkLength < static_cast<std::uint64_t>(kChunkEntriesStart))
        return std::nullopt;
    // Only the chunks that the directory's bytes really hold.
    const std::uint64_t count = std::min(announcedCount, (size - headerLength) / chunkLength);

    std::vector<Chunk> chunks;
    chunks.reserve(count);
    for (std::uint64_t index = 0; index < count; ++index) {
        Chunk chunk;
        chunk.bytes = directory.mid(static_cast<qsizetype>(headerLength + index * chunkLength),
                                    static_cast<qsizetype>(chunkLength));
        if (isListingChunk(chunk.bytes)) {
            chunk.previous = readSigned32(chunk.bytes, kChunkPreviousField);
            chunk.next = readSigned32(chunk.bytes, kChunkNextField);
        }
        chunks.push_back(std::move(chunk));
    }

    QList<QByteArray> names;
    for (const std::size_t index : listingOrder(chunks, announcedFirst))
        appendChunkNames(chunks[index].bytes, names);
    return names;
}

std::optional<QList<QByteArray>> listObjectNames(const QString& filePath)
{
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray header = file.read(kFileHeaderLength);
    if (header.size() < kFileHeaderLength || !header.startsWith("ITSF"))
        return std::nullopt;
    const std::uint64_t offset = readLittleEndian(header, kDirectoryOffsetField, 8);
    const std::uint64_t length = readLittleEndian(header, kDirectoryLengthField, 8);
    const auto fileSize = static_cast<std::uint64_t>(file.size());
    if (offset > fileSize || length > fileSize - offset || length > kMaximumDirectoryLength)
        return std::nullopt;
    if (!file.seek(static_cast<qint64>(offset)))
        return std::nullopt;
    const QByteArray directory = file.read(static_cast<qint64>(length));
    if (static_cast<std::uint64_t>(directory.size()) != length)
        return std::nullopt;
    return listObjectNamesInDirectory(directory);
}

} // namespace CHMDirectoryListing
