#include "toolkit/imageio/ImageReaders.h"

#include <cstdint>

namespace {

constexpr qsizetype kFileHeaderBytes = 14;
constexpr std::uint32_t kV4HeaderBytes = 108;
constexpr std::uint32_t kBitFields = 3;
constexpr std::uint32_t kAlphaBitFields = 6;

std::uint32_t littleEndian32At(const QByteArray& bytes, qsizetype at)
{
    const auto* b = reinterpret_cast<const unsigned char*>(bytes.constData()) + at;
    return std::uint32_t{b[0]} | (std::uint32_t{b[1]} << 8) | (std::uint32_t{b[2]} << 16) | (std::uint32_t{b[3]} << 24);
}

void putLittleEndian32(QByteArray& bytes, qsizetype at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

} // namespace

QByteArray WithCompleteBMPHeader(const QByteArray& bytes)
{
    if (bytes.size() < kFileHeaderBytes + 40 || !bytes.startsWith("BM"))
        return bytes;
    const std::uint32_t headerBytes = littleEndian32At(bytes, kFileHeaderBytes);
    const std::uint32_t compression = littleEndian32At(bytes, kFileHeaderBytes + 16);
    // The masks of a 40-byte header with alpha bit fields follow it, where a 56-byte header holds them.
    std::uint32_t kept = headerBytes;
    if (headerBytes == 40 && compression == kAlphaBitFields)
        kept = 56;
    else if (headerBytes != 52 && headerBytes != 56)
        return bytes;
    if (bytes.size() < kFileHeaderBytes + kept)
        return bytes;
    const std::uint32_t added = kV4HeaderBytes - kept;
    QByteArray completed = bytes.left(kFileHeaderBytes + kept);
    completed.append(QByteArray(added, '\0')); // no alpha mask in a 52-byte header; no colour space
    completed.append(bytes.mid(kFileHeaderBytes + kept));
    putLittleEndian32(completed, 2, littleEndian32At(bytes, 2) + added);
    putLittleEndian32(completed, 10, littleEndian32At(bytes, 10) + added);
    putLittleEndian32(completed, kFileHeaderBytes, kV4HeaderBytes);
    if (compression == kAlphaBitFields)
        putLittleEndian32(completed, kFileHeaderBytes + 16, kBitFields);
    return completed;
}
