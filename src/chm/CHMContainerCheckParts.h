#pragma once

#include "chm/CHMContainerCheck.h"

#include <QByteArray>
#include <QByteArrayView>

#include <cstdint>
#include <optional>
#include <vector>

// The pieces of CHMContainerCheck: the directory walk and the compressed section's description.
namespace CHMContainerCheck::Detail {

// Little-endian numbers inside a view; none when they do not lie wholly inside it.
std::optional<std::uint32_t> readU32(QByteArrayView bytes, std::uint64_t offset);
std::optional<std::uint64_t> readU64(QByteArrayView bytes, std::uint64_t offset);

// The bytes [offset, offset + length) of a view; none when they do not lie wholly inside it.
std::optional<QByteArrayView> slice(QByteArrayView bytes, std::uint64_t offset, std::uint64_t length);

// What the directory header tells chmlib: where chunk 0 starts, the chunk length, how many whole
// chunks the directory holds, the chunk a name lookup starts at and the first listing chunk.
struct Directory {
    std::uint64_t chunksOffset = 0;
    std::uint32_t chunkLength = 0;
    std::uint64_t chunkCount = 0;
    std::int32_t indexRoot = -1;
    std::int32_t indexHead = -1;
};

// One entry of a listing chunk.
struct ContainerObject {
    QByteArray name;
    std::uint64_t section = 0;
    std::uint64_t start = 0;
    std::uint64_t length = 0;
};

// Every object listed by the chunks chmlib can reach, through the index from its root or along the
// chain of listing chunks; none when one of those chunks is malformed or a walk can loop.
std::optional<std::vector<ContainerObject>> readReachableObjects(QByteArrayView file, const Directory& directory);

// The compressed section as chmlib will set it up; none when it is described unsoundly by bytes
// the file holds, or when an object chmlib needs to find it by lies elsewhere than it can read it.
std::optional<Container> compressedSectionOf(QByteArrayView file, std::uint64_t dataOffset,
                                             const std::vector<ContainerObject>& objects);

} // namespace CHMContainerCheck::Detail
