#include "toolkit/imageio/ByteReader.h"
#include "toolkit/imageio/CMYKSamples.h"
#include "toolkit/imageio/ImageReaders.h"
#include "toolkit/imageio/SourceLimits.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

// The merged image of a Photoshop file (the picture as last saved, all layers flattened): bitmap, grey,
// duotone (as grey), indexed, RGB and CMYK at 1, 8, 16 or 32 bits (floating point), raw or
// PackBits-compressed, with the merged transparency of grey and RGB pictures whose layers have any.
namespace {

enum Mode : std::uint16_t {
    Bitmap = 0,
    Grey = 1,
    Indexed = 2,
    RGB = 3,
    CMYK = 4,
    Duotone = 8
};

struct PhotoshopHeader {
    int channels = 0;
    int width = 0;
    int height = 0;
    int depth = 0;
    std::uint16_t mode = 0;
    QByteArray palette;
    double dpiX = 0;
    double dpiY = 0;
    bool mergedAlpha = false;
};

int channelsNeeded(std::uint16_t mode)
{
    switch (mode) {
    case RGB:
        return 3;
    case CMYK:
        return 4;
    case Bitmap:
    case Grey:
    case Indexed:
    case Duotone:
        return 1;
    default:
        return 0;
    }
}

// A resolution below one dot per inch is no resolution (files written with 1/65536 would make pictures
// kilometres wide).
double fixedResolution(std::uint32_t fixed, std::uint16_t unit)
{
    const double value = (unit == 2 ? 2.54 : 1.0) * fixed / 65536.0;
    return value >= 1 ? value : 0;
}

// The layer and mask section: a negative layer count says that the first channel past the colours holds
// the merged picture's transparency.
bool hasMergedAlpha(const QByteArray& bytes, qsizetype start, std::uint32_t length)
{
    if (length < 6)
        return false;
    ByteReader input(bytes, start);
    if (input.u32() < 2)
        return false;
    const auto layers = static_cast<std::int16_t>(input.u16());
    return !input.failed() && layers < 0;
}

// Image resources: "8BIM", an identifier, a padded Pascal name, a size and padded data. 0x03ED holds the
// resolution.
void readResolution(const QByteArray& bytes, qsizetype start, qsizetype length, PhotoshopHeader& header)
{
    ByteReader input(bytes, start);
    const qsizetype end = start + length;
    while (!input.failed() && input.offset() + 12 <= end) {
        if (input.u32() != 0x3842494DU) // "8BIM"
            return;
        const std::uint16_t identifier = input.u16();
        const std::uint8_t nameLength = input.u8();
        input.skip(nameLength + ((nameLength + 1) % 2));
        const std::uint32_t size = input.u32();
        const qsizetype dataStart = input.offset();
        if (identifier == 0x03ED && size >= 16) {
            const std::uint32_t horizontal = input.u32();
            const std::uint16_t horizontalUnit = input.u16();
            input.u16();
            const std::uint32_t vertical = input.u32();
            const std::uint16_t verticalUnit = input.u16();
            if (!input.failed()) {
                header.dpiX = fixedResolution(horizontal, horizontalUnit);
                header.dpiY = fixedResolution(vertical, verticalUnit);
            }
            return;
        }
        input.seek(dataStart);
        input.skip(static_cast<std::uint64_t>(size) + (size % 2));
    }
}

bool readHeader(ByteReader& input, const QByteArray& bytes, PhotoshopHeader& header)
{
    if (input.u32() != 0x38425053U || input.u16() != 1) // "8BPS", version 1 (not the large format)
        return false;
    input.skip(6);
    header.channels = input.u16();
    header.height = static_cast<int>(std::min<std::uint32_t>(input.u32(), 1U << 30));
    header.width = static_cast<int>(std::min<std::uint32_t>(input.u32(), 1U << 30));
    header.depth = input.u16();
    header.mode = input.u16();
    const int needed = channelsNeeded(header.mode);
    if (input.failed() || needed == 0 || header.channels < needed || header.channels > 56)
        return false;
    if ((header.mode == Bitmap) != (header.depth == 1) || (header.depth != 1 && header.depth != 8 && header.depth != 16 && header.depth != 32))
        return false;
    // The 8-bit planes while reading, then the 32-bit pixels and a CMYK picture's inks.
    if (!FitsSourceBound("Photoshop", static_cast<std::uint64_t>(header.width), static_cast<std::uint64_t>(header.height),
                         needed + 1 + (header.mode == CMYK ? 8 : 4)))
        return false;
    const std::uint32_t colourData = input.u32();
    if (header.mode == Indexed && colourData >= 768 && input.has(768))
        header.palette = QByteArray(input.current(), 768);
    input.skip(colourData);
    const std::uint32_t resources = input.u32();
    readResolution(bytes, input.offset(), resources, header);
    input.skip(resources);
    const std::uint32_t layers = input.u32();
    header.mergedAlpha = (header.mode == Grey || header.mode == RGB) && header.channels > needed
                         && hasMergedAlpha(bytes, input.offset(), layers);
    input.skip(layers);
    return !input.failed() && (header.mode != Indexed || header.palette.size() == 768);
}

// One sample as 8 bits: 16-bit samples keep their high byte, 32-bit ones are big-endian floating point
// from 0 to 1.
unsigned char sampleByte(const unsigned char* row, int x, int depth)
{
    if (depth == 1)
        return (row[x / 8] & (0x80 >> (x % 8))) ? 0 : 255;
    if (depth == 16)
        return row[static_cast<std::size_t>(x) * 2];
    if (depth == 32) {
        const unsigned char* at = row + static_cast<std::size_t>(x) * 4;
        const std::uint32_t bits = (std::uint32_t{at[0]} << 24) | (std::uint32_t{at[1]} << 16) | (std::uint32_t{at[2]} << 8) | at[3];
        float value = 0;
        std::memcpy(&value, &bits, sizeof value);
        return value > 0 ? static_cast<unsigned char>(std::lround(std::min(value, 1.0F) * 255.0F)) : 0;
    }
    return row[x];
}

// Photoshop blends the merged picture of a transparent document with white: the colour under partial
// transparency is taken back out of that blend.
int unblended(int colour, int opacity)
{
    if (opacity == 0 || opacity == 255)
        return colour;
    return std::clamp((colour - (255 - opacity)) * 255 / opacity, 0, 255);
}

// Every needed channel as 8-bit planes, top row first.
bool readPlanes(ByteReader& input, const PhotoshopHeader& header, int needed, std::vector<QByteArray>& planes)
{
    const std::uint16_t compression = input.u16();
    if (compression > 1)
        return false;
    const qsizetype rowBytes = (static_cast<qsizetype>(header.width) * header.depth + 7) / 8;
    const qsizetype rows = static_cast<qsizetype>(header.channels) * header.height;
    if (compression == 1)
        input.skip(static_cast<std::uint64_t>(rows) * 2); // the byte counts: PackBits ends each row itself
    std::vector<unsigned char> row(static_cast<std::size_t>(rowBytes));
    for (int channel = 0; channel < needed; ++channel) {
        QByteArray plane(static_cast<qsizetype>(header.width) * header.height, Qt::Uninitialized);
        for (int y = 0; y < header.height; ++y) {
            if (compression == 1) {
                if (!UnpackBits(input, row.data(), rowBytes))
                    return false;
            } else {
                if (!input.has(rowBytes))
                    return false;
                std::copy_n(input.current(), rowBytes, row.data());
                input.skip(static_cast<std::uint64_t>(rowBytes));
            }
            auto* out = reinterpret_cast<unsigned char*>(plane.data()) + static_cast<qsizetype>(y) * header.width;
            for (int x = 0; x < header.width; ++x)
                out[x] = sampleByte(row.data(), x, header.depth);
        }
        planes.push_back(std::move(plane));
    }
    return !input.failed();
}

} // namespace

ImageRepList ReadPhotoshopRepresentations(const QByteArray& bytes)
{
    ByteReader input(bytes);
    PhotoshopHeader header;
    if (!readHeader(input, bytes, header))
        return {};
    const int needed = channelsNeeded(header.mode);
    std::vector<QByteArray> planes;
    if (!readPlanes(input, header, needed + (header.mergedAlpha ? 1 : 0), planes))
        return {};
    const bool grey = needed == 1 && header.mode != Indexed;
    const bool alpha = header.mergedAlpha;
    QImage pixels(header.width, header.height, alpha ? QImage::Format_ARGB32 : grey ? QImage::Format_Grayscale8
                                                                                    : QImage::Format_RGB32);
    if (pixels.isNull())
        return {};
    BitmapImageRep::Description description;
    description.dpiX = header.dpiX;
    description.dpiY = header.dpiY;
    description.bitsPerComponent = 8;
    QByteArray inks;
    if (header.mode == CMYK)
        inks = QByteArray(static_cast<qsizetype>(header.width) * header.height * 4, Qt::Uninitialized);
    for (int y = 0; y < header.height; ++y) {
        unsigned char* row = pixels.scanLine(y);
        for (int x = 0; x < header.width; ++x) {
            const qsizetype at = static_cast<qsizetype>(y) * header.width + x;
            auto sample = [&](int channel) { return static_cast<unsigned char>(planes[static_cast<std::size_t>(channel)][at]); };
            auto* rgb = reinterpret_cast<QRgb*>(row) + x;
            if (alpha) {
                const int opacity = sample(needed);
                *rgb = qRgba(unblended(sample(0), opacity), unblended(sample(grey ? 0 : 1), opacity),
                             unblended(sample(grey ? 0 : 2), opacity), opacity);
            } else if (grey) {
                row[x] = sample(0);
            } else if (header.mode == Indexed) {
                const auto* palette = reinterpret_cast<const unsigned char*>(header.palette.constData());
                const int index = sample(0);
                *rgb = qRgb(palette[index], palette[256 + index], palette[512 + index]);
            } else if (header.mode == RGB) {
                *rgb = qRgb(sample(0), sample(1), sample(2));
            } else {
                // Photoshop stores inks inverted (255 is no ink); kept samples have 0 for no ink.
                unsigned char* ink = reinterpret_cast<unsigned char*>(inks.data()) + at * 4;
                for (int c = 0; c < 4; ++c)
                    ink[c] = static_cast<unsigned char>(255 - sample(c));
                *rgb = CMYKToRGB(ink[0], ink[1], ink[2], ink[3]);
            }
        }
    }
    description.alphaKind = alpha ? AlphaKind::First : AlphaKind::None;
    // Grey with transparency is kept as RGB pixels with alpha.
    description.colorSpace = grey && !alpha           ? ColorSpaceModel::Grey
                             : header.mode == Indexed ? ColorSpaceModel::Indexed
                             : header.mode == CMYK    ? ColorSpaceModel::CMYK
                                                      : ColorSpaceModel::RGB;
    return {std::make_shared<BitmapImageRep>(std::move(pixels), std::move(inks), std::move(description))};
}
