#pragma once

#include <QByteArrayView>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

// chmlib 0.40 trusts the tables of the file it opens: a damaged or hostile file makes it divide by
// zero, dereference a failed allocation, read past its buffers or write past them. What chmlib
// relies on when it opens a file and looks names up is checked here, on the file's bytes, before
// chmlib ever sees the file:
//
// - the file header and the directory header;
// - the directory chunks chmlib walks (the index chunks from the root, the listing chunks along
//   their chain): every entry lies inside its chunk, names are neither empty nor hold NUL bytes,
//   index entries point at chunks of the directory, and no walk can come back to a chunk;
// - the objects that describe the compressed section: they lie in the uncompressed section; the
//   LZX control data (signature, version, a window of 2^15 to 2^21 bytes, a reset interval and
//   windows per reset of at least 1 and the block count they give); the reset table (its entries
//   inside the table, a block length of one LZX frame, offsets that increase, and no compressed
//   block larger than the buffer chmlib reads it into).
//
// A file cut short is not refused for that: chmlib reads what is missing as a failed read, on its
// own, so whatever lies in the file stays readable. Decompressing is checked later, on demand, by
// CHMContainerReadCheck: the compressed data is trusted by chmlib as much as the tables are.
namespace CHMContainerCheck {

// How chmlib will decompress the compressed section, as far as the file holds it.
struct CompressedSection {
    std::uint64_t contentOffset = 0;    // of the compressed data's first byte in the file
    std::uint64_t compressedLength = 0; // where the reset table says the last block ends
    int windowBits = 15;
    std::uint32_t blocksPerReset = 1;
    std::uint64_t blockCount = 0; // blocks the reset table lists
    // Where each block starts in the compressed data, for the blocks whose entry the file holds.
    std::vector<std::uint64_t> blockStarts;
};

// What the check found in a file chmlib may open: the compressed section, none when chmlib will
// leave decompression off (then it reads no compressed object at all).
struct Container {
    std::optional<CompressedSection> compressed;
};

// The container in the bytes of a whole file; none when they must not be handed to chmlib.
std::optional<Container> checkContainer(QByteArrayView file);
bool isSafeContainer(QByteArrayView file);

// The same for a file on disk; none for anything that is not a regular file.
std::optional<Container> checkFileToOpen(const QString& filePath);
bool isSafeToOpen(const QString& filePath);

} // namespace CHMContainerCheck
