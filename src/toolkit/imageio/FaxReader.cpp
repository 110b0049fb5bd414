#include "toolkit/imageio/ImageReaders.h"

#include <cstring>
#include <limits>
#include <vector>

// Raw CCITT Group 3 fax files (as fax programs store them: rows of one-dimensional codes, each begun by
// an end-of-line code) are read by wrapping them in a TIFF that libtiff's fax decoder reads. The file
// itself says neither its width nor its bit order nor its resolution: the width is the standard page's
// 1728 dots, the bit order is the one in which end-of-line codes are found, and the resolution is fine
// (196 lines an inch) for pages of more than 1300 rows, else standard (98).
namespace {

constexpr std::uint32_t kFaxWidth = 1728;
constexpr int kEndOfLineZeros = 11;

// The rows of the data read in the given bit order: end-of-line codes (at least eleven zero bits, then a
// one) followed by codes of a row, not by the next end-of-line code.
std::uint32_t countRows(const QByteArray& bytes, bool leastSignificantFirst)
{
    std::uint32_t rows = 0;
    int zeros = 0;
    qsizetype lastEndOfLine = -1000;
    bool rowPending = false;
    const qsizetype bits = bytes.size() * 8;
    for (qsizetype bit = 0; bit < bits; ++bit) {
        const auto byte = static_cast<std::uint8_t>(bytes[bit / 8]);
        const int shift = leastSignificantFirst ? static_cast<int>(bit % 8) : 7 - static_cast<int>(bit % 8);
        if (((byte >> shift) & 1) == 0) {
            ++zeros;
            continue;
        }
        if (zeros >= kEndOfLineZeros) {
            // A second end-of-line right after the first (the end of the page) begins no row.
            if (rowPending && bit - lastEndOfLine > kEndOfLineZeros + 1)
                ++rows;
            rowPending = true;
            lastEndOfLine = bit;
        }
        zeros = 0;
    }
    if (rowPending && bits - lastEndOfLine > kEndOfLineZeros + 1)
        ++rows;
    return rows;
}

void put16(QByteArray& out, std::uint32_t value)
{
    out.append(static_cast<char>(value & 0xFF));
    out.append(static_cast<char>((value >> 8) & 0xFF));
}

void put32(QByteArray& out, std::uint32_t value)
{
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}

// One little-endian TIFF directory entry of a single value.
void putEntry(QByteArray& out, std::uint16_t tag, std::uint16_t type, std::uint32_t value)
{
    put16(out, tag);
    put16(out, type);
    put32(out, 1);
    if (type == 3) { // SHORT: left-justified in the value field
        put16(out, value);
        put16(out, 0);
    } else {
        put32(out, value);
    }
}

QByteArray wrapInTIFF(const QByteArray& fax, std::uint32_t rows, bool leastSignificantFirst)
{
    constexpr std::uint16_t kShort = 3, kLong = 4, kRational = 5;
    constexpr std::uint16_t kEntries = 14;
    const std::uint32_t directorySize = 2 + kEntries * 12 + 4;
    const std::uint32_t resolutionsAt = 8 + directorySize;
    const std::uint32_t dataAt = resolutionsAt + 16;
    QByteArray tiff("II*\0", 4);
    put32(tiff, 8);
    put16(tiff, kEntries);
    putEntry(tiff, 256, kLong, kFaxWidth);
    putEntry(tiff, 257, kLong, rows);
    putEntry(tiff, 258, kShort, 1);                             // bits per sample
    putEntry(tiff, 259, kShort, 3);                             // CCITT T.4
    putEntry(tiff, 262, kShort, 0);                             // white is zero
    putEntry(tiff, 266, kShort, leastSignificantFirst ? 2 : 1); // fill order
    putEntry(tiff, 273, kLong, dataAt);
    putEntry(tiff, 277, kShort, 1);
    putEntry(tiff, 278, kLong, rows);
    putEntry(tiff, 279, kLong, static_cast<std::uint32_t>(fax.size()));
    putEntry(tiff, 282, kRational, resolutionsAt);
    putEntry(tiff, 283, kRational, resolutionsAt + 8);
    putEntry(tiff, 292, kLong, 0);  // one-dimensional codes
    putEntry(tiff, 296, kShort, 2); // inches
    put32(tiff, 0);
    put32(tiff, 204);
    put32(tiff, 1);
    put32(tiff, rows > 1300 ? 196 : 98);
    put32(tiff, 1);
    tiff.append(fax);
    return tiff;
}

} // namespace

ImageRepList ReadFaxRepresentations(const QByteArray& bytes)
{
    if (bytes.size() < 4)
        return {};
    // Fax files in a TIFF of their own.
    if (std::memcmp(bytes.constData(), "II*\0", 4) == 0 || std::memcmp(bytes.constData(), "MM\0*", 4) == 0)
        return ReadTIFFRepresentations(bytes);
    if (bytes.size() > std::numeric_limits<std::int32_t>::max() / 8)
        return {};
    const std::uint32_t mostFirst = countRows(bytes, false);
    const std::uint32_t leastFirst = countRows(bytes, true);
    const bool leastSignificantFirst = leastFirst > mostFirst;
    const std::uint32_t rows = leastSignificantFirst ? leastFirst : mostFirst;
    if (rows == 0)
        return {};
    return ReadTIFFRepresentations(wrapInTIFF(bytes, rows, leastSignificantFirst));
}
