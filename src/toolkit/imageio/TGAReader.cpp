#include "toolkit/imageio/ByteReader.h"
#include "toolkit/imageio/ImageReaders.h"
#include "toolkit/imageio/SourceLimits.h"

#include <algorithm>
#include <vector>

// Truevision TGA files of either version (with or without the closing footer): colour-mapped, true-colour
// and grey pictures, plain or run-length encoded, at 8, 15, 16, 24 or 32 bits a pixel.
namespace {

enum ImageKind : std::uint8_t {
    ColourMapped = 1,
    TrueColour = 2,
    Grey = 3
};

struct TGAHeader {
    std::uint8_t idLength = 0;
    std::uint8_t mapType = 0;
    std::uint8_t kind = 0;
    bool compressed = false;
    std::uint16_t mapFirst = 0;
    std::uint16_t mapLength = 0;
    std::uint8_t mapDepth = 0;
    int width = 0;
    int height = 0;
    std::uint8_t depth = 0;
    std::uint8_t descriptor = 0;
};

std::uint16_t little16(ByteReader& input)
{
    const std::uint16_t low = input.u8();
    return static_cast<std::uint16_t>(low | (input.u8() << 8));
}

int bytesOfDepth(int depth)
{
    return (depth + 7) / 8;
}

bool readHeader(ByteReader& input, TGAHeader& header)
{
    header.idLength = input.u8();
    header.mapType = input.u8();
    const std::uint8_t type = input.u8();
    header.mapFirst = little16(input);
    header.mapLength = little16(input);
    header.mapDepth = input.u8();
    little16(input); // origin: where a screen would show it
    little16(input);
    header.width = little16(input);
    header.height = little16(input);
    header.depth = input.u8();
    header.descriptor = input.u8();
    header.kind = type & 7;
    header.compressed = (type & 8) != 0;
    if (input.failed() || (type & ~0x0Bu) != 0 || header.kind < ColourMapped || header.kind > Grey || header.mapType > 1)
        return false;
    if (header.kind == ColourMapped && (header.mapType != 1 || (header.depth != 8 && header.depth != 16)))
        return false;
    if (header.kind == TrueColour && header.depth != 15 && header.depth != 16 && header.depth != 24 && header.depth != 32)
        return false;
    if (header.kind == Grey && header.depth != 8 && header.depth != 16)
        return false;
    if (header.mapType == 1 && header.mapDepth != 15 && header.mapDepth != 16 && header.mapDepth != 24 && header.mapDepth != 32)
        return false;
    return FitsSourceBound("TGA", static_cast<std::uint64_t>(header.width), static_cast<std::uint64_t>(header.height), 8);
}

// One stored colour as ARGB, from its little-endian bytes.
QRgb colourOf(const unsigned char* bytes, int depth, bool grey, bool alphaInFile)
{
    if (grey)
        return depth == 16 ? qRgba(bytes[0], bytes[0], bytes[0], bytes[1]) : qRgb(bytes[0], bytes[0], bytes[0]);
    if (depth == 15 || depth == 16) {
        const int value = bytes[0] | (bytes[1] << 8);
        auto widen = [](int five) { return (five << 3) | (five >> 2); };
        const int alpha = depth == 16 && alphaInFile ? ((value & 0x8000) ? 255 : 0) : 255;
        return qRgba(widen((value >> 10) & 31), widen((value >> 5) & 31), widen(value & 31), alpha);
    }
    return qRgba(bytes[2], bytes[1], bytes[0], depth == 32 && alphaInFile ? bytes[3] : 255);
}

// The pixels' stored values in file order, run-length encoded or not: depth bytes each.
bool readPixelBytes(ByteReader& input, const TGAHeader& header, std::vector<unsigned char>& out)
{
    const int size = bytesOfDepth(header.depth);
    const auto count = static_cast<qsizetype>(header.width) * header.height;
    out.resize(static_cast<std::size_t>(count * size));
    if (!header.compressed) {
        if (!input.has(count * size))
            return false;
        std::copy_n(input.current(), count * size, out.data());
        return true;
    }
    qsizetype done = 0;
    while (done < count) {
        const std::uint8_t packet = input.u8();
        const qsizetype run = std::min<qsizetype>((packet & 0x7F) + 1, count - done);
        const qsizetype literal = (packet & 0x80) ? size : run * size;
        if (!input.has(literal))
            return false;
        if (packet & 0x80) {
            for (qsizetype i = 0; i < run; ++i)
                std::copy_n(input.current(), size, out.data() + (done + i) * size);
        } else {
            std::copy_n(input.current(), literal, out.data() + done * size);
        }
        input.skip(static_cast<std::uint64_t>(literal));
        done += run;
    }
    return true;
}

} // namespace

ImageRepList ReadTGARepresentations(const QByteArray& bytes)
{
    ByteReader input(bytes);
    TGAHeader header;
    if (!readHeader(input, header))
        return {};
    input.skip(header.idLength);
    std::vector<QRgb> palette;
    const bool alphaInFile = (header.descriptor & 0x0F) != 0;
    if (header.mapType == 1) {
        const int entry = bytesOfDepth(header.mapDepth);
        for (int i = 0; i < header.mapLength; ++i) {
            if (!input.has(entry))
                return {};
            palette.push_back(colourOf(reinterpret_cast<const unsigned char*>(input.current()), header.mapDepth, false, alphaInFile));
            input.skip(static_cast<std::uint64_t>(entry));
        }
    }
    std::vector<unsigned char> stored;
    if (!readPixelBytes(input, header, stored))
        return {};
    const bool hasAlpha = alphaInFile && (header.depth == 32 || header.depth == 16 || (header.kind == ColourMapped && (header.mapDepth == 32 || header.mapDepth == 16)));
    QImage pixels(header.width, header.height, hasAlpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    if (pixels.isNull())
        return {};
    const int size = bytesOfDepth(header.depth);
    const bool topFirst = (header.descriptor & 0x20) != 0;
    const bool rightFirst = (header.descriptor & 0x10) != 0;
    for (int row = 0; row < header.height; ++row) {
        auto* line = reinterpret_cast<QRgb*>(pixels.scanLine(topFirst ? row : header.height - 1 - row));
        for (int column = 0; column < header.width; ++column) {
            const unsigned char* value = stored.data() + (static_cast<qsizetype>(row) * header.width + column) * size;
            QRgb colour = 0;
            if (header.kind == ColourMapped) {
                const int index = (size == 2 ? value[0] | (value[1] << 8) : value[0]) - header.mapFirst;
                colour = index >= 0 && static_cast<std::size_t>(index) < palette.size() ? palette[static_cast<std::size_t>(index)] : qRgb(0, 0, 0);
            } else {
                colour = colourOf(value, header.depth, header.kind == Grey, alphaInFile);
            }
            line[rightFirst ? header.width - 1 - column : column] = colour;
        }
    }
    BitmapImageRep::Description description;
    description.alphaKind = hasAlpha ? AlphaKind::First : AlphaKind::None;
    description.colorSpace = header.kind == Grey           ? ColorSpaceModel::Grey
                             : header.kind == ColourMapped ? ColorSpaceModel::Indexed
                                                           : ColorSpaceModel::RGB;
    if (header.kind == Grey && !hasAlpha)
        pixels = pixels.convertToFormat(QImage::Format_Grayscale8);
    return {std::make_shared<BitmapImageRep>(std::move(pixels), std::move(description))};
}
