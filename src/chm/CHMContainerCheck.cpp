#include "chm/CHMContainerCheck.h"

#include "chm/CHMContainerCheckParts.h"

#include <QFile>
#include <QFileInfo>

namespace CHMContainerCheck::Detail {

std::optional<QByteArrayView> slice(QByteArrayView bytes, std::uint64_t offset, std::uint64_t length)
{
    const auto size = static_cast<std::uint64_t>(bytes.size());
    if (offset > size || length > size - offset)
        return std::nullopt;
    return bytes.sliced(static_cast<qsizetype>(offset), static_cast<qsizetype>(length));
}

namespace {

std::optional<std::uint64_t> readLittleEndian(QByteArrayView bytes, std::uint64_t offset, int width)
{
    const std::optional<QByteArrayView> field = slice(bytes, offset, static_cast<std::uint64_t>(width));
    if (!field)
        return std::nullopt;
    std::uint64_t value = 0;
    for (int i = width - 1; i >= 0; --i)
        value = value << 8 | static_cast<unsigned char>((*field)[i]);
    return value;
}

} // namespace

std::optional<std::uint32_t> readU32(QByteArrayView bytes, std::uint64_t offset)
{
    const std::optional<std::uint64_t> value = readLittleEndian(bytes, offset, 4);
    return value ? std::optional<std::uint32_t>(static_cast<std::uint32_t>(*value)) : std::nullopt;
}

std::optional<std::uint64_t> readU64(QByteArrayView bytes, std::uint64_t offset)
{
    return readLittleEndian(bytes, offset, 8);
}

} // namespace CHMContainerCheck::Detail

namespace {

using namespace CHMContainerCheck::Detail;

// The file header ("ITSF"): version 2 is 0x58 bytes long, version 3 adds the data offset. chmlib
// always reads 0x60 bytes.
constexpr std::uint64_t kFileHeaderReadLength = 0x60;
constexpr std::uint64_t kVersion2HeaderLength = 0x58;
constexpr std::uint64_t kVersion3HeaderLength = 0x60;

// The directory header ("ITSP"), version 1, exactly 0x54 bytes; the chunks follow it.
constexpr std::uint64_t kDirectoryHeaderLength = 0x54;

// Chunks are 4 KiB in every known file. chmlib reads a whole chunk header (20 bytes) from a buffer
// of the chunk length, and allocates one chunk for every lookup.
constexpr std::uint32_t kMinimumChunkLength = 0x20;
constexpr std::uint32_t kMaximumChunkLength = 1u << 20;

struct FileHeader {
    std::uint64_t directoryOffset = 0;
    std::uint64_t directoryLength = 0;
    std::uint64_t dataOffset = 0;
};

std::optional<FileHeader> readFileHeader(QByteArrayView file)
{
    if (static_cast<std::uint64_t>(file.size()) < kFileHeaderReadLength || !file.startsWith("ITSF"))
        return std::nullopt;
    const std::uint32_t version = *readU32(file, 4);
    const std::uint32_t headerLength = *readU32(file, 8);
    if (!(version == 2 && headerLength >= kVersion2HeaderLength) && !(version == 3 && headerLength >= kVersion3HeaderLength))
        return std::nullopt;
    FileHeader header;
    header.directoryOffset = *readU64(file, 0x48);
    header.directoryLength = *readU64(file, 0x50);
    // What a cut-off file lacks of the directory or the data, chmlib fails to read on its own.
    if (header.directoryLength > UINT64_MAX - header.directoryOffset)
        return std::nullopt;
    header.dataOffset = version == 3 ? *readU64(file, 0x58) : header.directoryOffset + header.directoryLength;
    return header;
}

std::optional<Directory> readDirectoryHeader(QByteArrayView file, const FileHeader& header)
{
    const std::optional<QByteArrayView> bytes = slice(file, header.directoryOffset, kDirectoryHeaderLength);
    if (!bytes || !bytes->startsWith("ITSP") || *readU32(*bytes, 4) != 1
        || *readU32(*bytes, 8) != kDirectoryHeaderLength || header.directoryLength < kDirectoryHeaderLength)
        return std::nullopt;
    Directory directory;
    directory.chunkLength = *readU32(*bytes, 0x10);
    if (directory.chunkLength < kMinimumChunkLength || directory.chunkLength > kMaximumChunkLength)
        return std::nullopt;
    directory.chunksOffset = header.directoryOffset + kDirectoryHeaderLength;
    directory.chunkCount = (header.directoryLength - kDirectoryHeaderLength) / directory.chunkLength;
    directory.indexRoot = static_cast<std::int32_t>(*readU32(*bytes, 0x1C));
    directory.indexHead = static_cast<std::int32_t>(*readU32(*bytes, 0x20));
    // chmlib looks names up from the listing head when the directory has no index chunks.
    if (directory.indexRoot <= -1)
        directory.indexRoot = directory.indexHead;
    const auto inDirectory = [&](std::int32_t chunk) {
        return chunk >= 0 && static_cast<std::uint64_t>(chunk) < directory.chunkCount;
    };
    if (!inDirectory(directory.indexRoot) || !inDirectory(directory.indexHead))
        return std::nullopt;
    return directory;
}

} // namespace

namespace CHMContainerCheck {

std::optional<Container> checkContainer(QByteArrayView file)
{
    const std::optional<FileHeader> header = readFileHeader(file);
    if (!header)
        return std::nullopt;
    const std::optional<Directory> directory = readDirectoryHeader(file, *header);
    if (!directory)
        return std::nullopt;
    const std::optional<std::vector<ContainerObject>> objects = readReachableObjects(file, *directory);
    if (!objects)
        return std::nullopt;
    return compressedSectionOf(file, header->dataOffset, *objects);
}

bool isSafeContainer(QByteArrayView file)
{
    return checkContainer(file).has_value();
}

std::optional<Container> checkFileToOpen(const QString& filePath)
{
    // A FIFO or a device would block chmlib or feed it without end.
    if (!QFileInfo(filePath).isFile())
        return std::nullopt;
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly) || file.size() <= 0)
        return std::nullopt;
    // Mapped rather than read: only the headers, the directory and a few tables are looked at.
    uchar* mapped = file.map(0, file.size());
    if (mapped == nullptr) // a file system that cannot map files
        return checkContainer(file.readAll());
    std::optional<Container> container = checkContainer(QByteArrayView(mapped, file.size()));
    file.unmap(mapped);
    return container;
}

bool isSafeToOpen(const QString& filePath)
{
    return checkFileToOpen(filePath).has_value();
}

} // namespace CHMContainerCheck
