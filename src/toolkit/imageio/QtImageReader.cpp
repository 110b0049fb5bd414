#include "toolkit/imageio/ImageReaders.h"
#include "toolkit/imageio/SourceLimits.h"

#include <QBuffer>
#include <QColorSpace>
#include <QImageReader>

#include <algorithm>
#include <cstring>

namespace {

std::uint32_t bigEndian32(const char* bytes)
{
    const auto* b = reinterpret_cast<const unsigned char*>(bytes);
    return (std::uint32_t{b[0]} << 24) | (std::uint32_t{b[1]} << 16) | (std::uint32_t{b[2]} << 8) | b[3];
}

std::int32_t littleEndian32(const char* bytes)
{
    const auto* b = reinterpret_cast<const unsigned char*>(bytes);
    return static_cast<std::int32_t>(std::uint32_t{b[0]} | (std::uint32_t{b[1]} << 8) | (std::uint32_t{b[2]} << 16)
                                     | (std::uint32_t{b[3]} << 24));
}

double dotsPerMetreToInch(double dotsPerMetre)
{
    return dotsPerMetre > 0 ? dotsPerMetre * 0.0254 : 0;
}

AlphaKind alphaKindOf(const QImage& image)
{
    if (!image.hasAlphaChannel())
        return AlphaKind::None;
    switch (image.format()) {
    case QImage::Format_ARGB32_Premultiplied:
        return AlphaKind::PremultipliedFirst;
    case QImage::Format_ARGB32:
        return AlphaKind::First;
    case QImage::Format_RGBA8888_Premultiplied:
    case QImage::Format_RGBA64_Premultiplied:
        return AlphaKind::PremultipliedLast;
    case QImage::Format_Alpha8:
        return AlphaKind::Only;
    default:
        return AlphaKind::Last;
    }
}

// The pixels as the representation keeps them: RGB or grey, 8 or 16 bits a sample.
QImage usablePixels(QImage image, ColorSpaceModel& model, int& bits)
{
    bits = 8;
    model = ColorSpaceModel::RGB;
    switch (image.format()) {
    case QImage::Format_Grayscale8:
        model = ColorSpaceModel::Grey;
        return image;
    case QImage::Format_Grayscale16:
        model = ColorSpaceModel::Grey;
        bits = 16;
        return image;
    case QImage::Format_Mono:
    case QImage::Format_MonoLSB:
        // Two colours of a palette: grey only when both are grey.
        if (!image.hasAlphaChannel() && image.allGray()) {
            model = ColorSpaceModel::Grey;
            return image.convertToFormat(QImage::Format_Grayscale8);
        }
        model = ColorSpaceModel::Indexed;
        return image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    case QImage::Format_Indexed8:
        model = ColorSpaceModel::Indexed;
        return image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    case QImage::Format_RGBX64:
    case QImage::Format_RGBA64:
    case QImage::Format_RGBA64_Premultiplied:
        bits = 16;
        return image;
    default:
        return image;
    }
}

// A side of a GIF's logical screen (little-endian 16 bits at the offset), at least 1.
std::uint64_t GIFCanvasSide(const QByteArray& bytes, qsizetype offset)
{
    if (bytes.size() < offset + 2)
        return 1;
    const auto* b = reinterpret_cast<const unsigned char*>(bytes.constData()) + offset;
    return std::max(1U, b[0] | (unsigned{b[1]} << 8));
}

// The frames a GIF declares, counted on its blocks without decoding any: Qt's count stops at the first
// frame it finds fault with, while the frames before the fault still decode.
std::uint64_t GIFFrameCount(const QByteArray& bytes)
{
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.constData());
    const auto size = static_cast<std::uint64_t>(bytes.size());
    auto skipSubBlocks = [&](std::uint64_t at) {
        while (at < size && data[at] != 0)
            at += 1 + std::uint64_t{data[at]};
        return at + 1;
    };
    auto colourTableBytes = [&](std::uint64_t packedAt) {
        return packedAt < size && (data[packedAt] & 0x80) ? 3 * (std::uint64_t{2} << (data[packedAt] & 7)) : 0;
    };
    std::uint64_t at = 13 + colourTableBytes(10);
    std::uint64_t frames = 0;
    while (at < size) {
        if (data[at] == 0x21) {
            at = skipSubBlocks(at + 2);
        } else if (data[at] == 0x2C) {
            ++frames;
            at = skipSubBlocks(at + 10 + colourTableBytes(at + 9) + 1);
        } else {
            break; // the trailer, or bytes that are no block
        }
    }
    return frames;
}

// What a decoded image of Qt's format takes a pixel once kept: palettes and bilevel pictures are kept as
// 32-bit pixels (a bilevel one without alpha as 8-bit grey, which the format does not tell).
std::uint64_t keptBytesPerPixel(QImage::Format format)
{
    if (format == QImage::Format_Invalid || format == QImage::Format_Indexed8 || format == QImage::Format_Mono
        || format == QImage::Format_MonoLSB)
        return 4;
    return std::max<std::uint64_t>(QImage::toPixelFormat(format).bitsPerPixel() / 8, 1);
}

// Whether every chunk before the pixels fits in the bytes it came in. libpng allocates a chunk's declared
// length before reading it, so a text chunk that claims two gigabytes costs two gigabytes however short the
// file; in memory a chunk cannot be longer than what is left. The pixel chunks are streamed, so a file cut
// short in them still shows what it has.
bool PNGChunksFit(const QByteArray& bytes)
{
    qsizetype offset = 8;
    while (offset + 8 <= bytes.size()) {
        const std::uint32_t length = bigEndian32(bytes.constData() + offset);
        const char* type = bytes.constData() + offset + 4;
        if (std::memcmp(type, "IDAT", 4) == 0 || std::memcmp(type, "IEND", 4) == 0)
            return true;
        if (length > static_cast<std::uint64_t>(bytes.size() - offset - 8))
            return false;
        offset += 12 + static_cast<qsizetype>(length);
    }
    return true;
}

} // namespace

double PNGResolution(const QByteArray& bytes, bool vertical)
{
    // Chunks follow the eight-byte signature: length, type, data, CRC. pHYs comes before the pixels.
    qsizetype offset = 8;
    while (offset + 8 <= bytes.size()) {
        const std::uint32_t length = bigEndian32(bytes.constData() + offset);
        const char* type = bytes.constData() + offset + 4;
        if (std::memcmp(type, "IDAT", 4) == 0 || std::memcmp(type, "IEND", 4) == 0)
            return 0;
        if (std::memcmp(type, "pHYs", 4) == 0) {
            if (length < 9 || offset + 8 + 9 > bytes.size())
                return 0;
            const char* data = bytes.constData() + offset + 8;
            if (data[8] != 1) // unit: metres; 0 only gives an aspect ratio
                return 0;
            return dotsPerMetreToInch(bigEndian32(data + (vertical ? 4 : 0)));
        }
        if (length > static_cast<std::uint32_t>(bytes.size()))
            return 0;
        offset += 12 + static_cast<qsizetype>(length);
    }
    return 0;
}

double BMPResolution(const QByteArray& bytes, bool vertical)
{
    // BITMAPFILEHEADER (14 bytes), then an info header of at least 40 bytes holding pixels per metre.
    if (bytes.size() < 14 + 40 || littleEndian32(bytes.constData() + 14) < 40)
        return 0;
    return dotsPerMetreToInch(littleEndian32(bytes.constData() + 14 + (vertical ? 28 : 24)));
}

ImageRepList ReadQtRepresentations(const QByteArray& bytes, const char* format)
{
    if (std::strcmp(format, "png") == 0 && !PNGChunksFit(bytes))
        return {};
    QByteArray data = std::strcmp(format, "bmp") == 0 ? WithCompleteBMPHeader(bytes) : bytes;
    QBuffer buffer(&data);
    if (!buffer.open(QIODevice::ReadOnly))
        return {};
    QImageReader reader(&buffer, format);
    reader.setAutoTransform(false);
    // The readers' own bound is ours, weighed below; Qt's would refuse first, and without a reason.
    reader.setAllocationLimit(static_cast<int>(kMaxSourceDecodedBytes >> 20));
    double dpiX = 0;
    double dpiY = 0;
    if (std::strcmp(format, "png") == 0) {
        dpiX = PNGResolution(bytes, false);
        dpiY = PNGResolution(bytes, true);
        if (dpiX <= 0 || dpiY <= 0) {
            const ExifResolution exif = ReadExifResolution(bytes); // an eXIf chunk's, without pHYs
            dpiX = exif.dpiX;
            dpiY = exif.dpiY;
        }
    } else if (std::strcmp(format, "bmp") == 0) {
        dpiX = BMPResolution(bytes, false);
        dpiY = BMPResolution(bytes, true);
    }
    const int count = std::max(reader.imageCount(), 1);
    SourceBudget budget(format);
    // Every frame of an animation is decoded on the whole canvas (the GIF's logical screen, whatever the
    // frame's own rectangle): the frames the file holds are counted and weighed at once, before the first
    // is decoded.
    const bool animation = std::strcmp(format, "gif") == 0;
    const std::uint64_t frameBytes = animation ? DecodedImageBytes(GIFCanvasSide(bytes, 6), GIFCanvasSide(bytes, 8), 4) : 0;
    if (animation && !budget.admit(frameBytes, std::max<std::uint64_t>(GIFFrameCount(bytes), static_cast<std::uint64_t>(count))))
        return {};
    ImageRepList representations;
    for (int index = 0; index < count; ++index) {
        const QSize declared = reader.size();
        if (!animation && declared.isValid() && !budget.admitImage(declared.width(), declared.height(), keptBytesPerPixel(reader.imageFormat())))
            return {};
        QImage image = reader.read();
        if (image.isNull())
            break;
        // What was not weighed before (a size Qt could not tell, a frame larger than its canvas) is after.
        const auto decoded = static_cast<std::uint64_t>(image.sizeInBytes());
        if (animation && decoded > frameBytes && !budget.admit(decoded - frameBytes, 0))
            return {};
        if (!animation && !declared.isValid() && !budget.admit(decoded))
            return {};
        BitmapImageRep::Description description;
        description.alphaKind = alphaKindOf(image);
        description.dpiX = dpiX;
        description.dpiY = dpiY;
        const QByteArray icc = image.colorSpace().iccProfile();
        description.iccProfile = icc;
        // A PNG's text chunks, read by the plugin, are its own metadata dictionary.
        // XMP and the raw Exif and IPTC profiles are read (and written) as dictionaries of their own.
        for (const QString& key : image.textKeys()) {
            if (!key.startsWith(QLatin1String("XML:com.adobe.xmp")) && !key.startsWith(QLatin1String("Raw profile type")))
                description.metadata.dictionaries[QStringLiteral("{PNG}")].insert(key, image.text(key));
        }
        QImage pixels = usablePixels(std::move(image), description.colorSpace, description.bitsPerComponent);
        if (std::strcmp(format, "gif") == 0)
            description.colorSpace = ColorSpaceModel::Indexed; // every GIF frame is a palette picture
        representations.push_back(std::make_shared<BitmapImageRep>(std::move(pixels), std::move(description)));
        // Icons and TIFFs move to their next image here; a GIF's reader moves on with every read.
        reader.jumpToNextImage();
    }
    return representations;
}
