#include "chm/CHMContainerCheck.h"

#include <QFile>

#include <chm_lib.h>

#include <cstdint>

namespace {

// Offsets in the file header: the directory's position and length, each a little-endian u64.
constexpr qint64 kDirectoryOffsetField = 0x48;
constexpr qint64 kDirectoryLengthField = 0x50;
constexpr qint64 kHeaderFieldsEnd = 0x58;

std::uint64_t readU64(const QByteArray& bytes, qint64 offset)
{
    std::uint64_t value = 0;
    for (int i = 7; i >= 0; --i)
        value = value << 8 | static_cast<unsigned char>(bytes[offset + i]);
    return value;
}

bool holdsWholeDirectory(const QString& filePath)
{
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray header = file.read(kHeaderFieldsEnd);
    if (header.size() < kHeaderFieldsEnd)
        return false;
    const std::uint64_t offset = readU64(header, kDirectoryOffsetField);
    const std::uint64_t length = readU64(header, kDirectoryLengthField);
    const auto size = static_cast<std::uint64_t>(file.size());
    return offset <= size && length <= size - offset;
}

bool holdsWholeContentStream(chmFile* handle)
{
    chmUnitInfo content{};
    if (chm_resolve_object(handle, "::DataSpace/Storage/MSCompressed/Content", &content) != CHM_RESOLVE_SUCCESS
        || content.length == 0)
        return true; // nothing compressed
    unsigned char lastByte = 0;
    return chm_retrieve_object(handle, &content, &lastByte, content.length - 1, 1) == 1;
}

} // namespace

namespace CHMContainerCheck {

bool isComplete(const QString& filePath, chmFile* handle)
{
    return holdsWholeDirectory(filePath) && holdsWholeContentStream(handle);
}

} // namespace CHMContainerCheck
