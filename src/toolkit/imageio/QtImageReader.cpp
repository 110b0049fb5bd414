#include "toolkit/codec/ImageLimits.h"
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
        if (!image.hasAlphaChannel()) {
            model = ColorSpaceModel::Grey;
            return image.convertToFormat(QImage::Format_Grayscale8);
        }
        return image.convertToFormat(QImage::Format_ARGB32);
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
    QByteArray data = bytes;
    QBuffer buffer(&data);
    if (!buffer.open(QIODevice::ReadOnly))
        return {};
    QImageReader reader(&buffer, format);
    reader.setAutoTransform(false);
    reader.setAllocationLimit(static_cast<int>(kMaxDecodedImageBytes >> 20));
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
    ImageRepList representations;
    SourceBudget budget(format);
    for (int index = 0; index < count; ++index) {
        const QSize declared = reader.size();
        if (declared.isValid() && !FitsDecodedImageLimit(declared.width(), declared.height(), 8))
            break;
        // What a frame declares is weighed before it is decoded; what it decoded to is counted after, as
        // an animation's frames are decoded on the whole canvas, however small their own rectangles.
        const std::uint64_t declaredBytes = declared.isValid() ? static_cast<std::uint64_t>(declared.width()) * declared.height() * 4 : 0;
        if (!budget.wouldAdmit(declaredBytes)) {
            budget.admit(declaredBytes); // says why
            return {};
        }
        QImage image = reader.read();
        if (image.isNull())
            break;
        if (!budget.admit(static_cast<std::uint64_t>(image.sizeInBytes())))
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
