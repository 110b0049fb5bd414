#include "toolkit/imagewriter/ImageEncoder.h"

#include <QBuffer>
#include <QImageWriter>
#include <QPainter>

#include <cmath>

#include <zlib.h>

namespace {

// exiv2 writes the dictionaries into these formats; GIF, BMP and the rest hold none.
bool FormatHoldsMetadata(const QString& identifier)
{
    return identifier == QLatin1String("public.jpeg") || identifier == QLatin1String("public.png")
           || identifier == QLatin1String("public.tiff") || identifier == QLatin1String("com.adobe.photoshop-image");
}

bool WantsMetadata(const WriteProperties& properties)
{
    return !properties.metadata.dictionaries.isEmpty() || properties.orientation != 0;
}

void PutBig32(QByteArray& out, quint32 value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.append(static_cast<char>((value >> shift) & 0xFF));
}

quint32 Big32(const QByteArray& bytes, qsizetype at)
{
    quint32 value = 0;
    for (int i = 0; i < 4; ++i)
        value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

// Puts the profile into a PNG as an iCCP chunk after the header, unless the PNG names its colours already
// (a profile, or sRGB).
void InsertPNGProfile(QByteArray& png, const QByteArray& icc)
{
    if (icc.isEmpty() || png.size() < 33)
        return;
    for (qsizetype at = 8; at + 8 <= png.size();) {
        const QByteArray type = png.mid(at + 4, 4);
        if (type == "iCCP" || type == "sRGB")
            return;
        if (type == "IDAT")
            break;
        at += 12 + static_cast<qsizetype>(Big32(png, at));
    }
    uLongf packedSize = compressBound(static_cast<uLong>(icc.size()));
    QByteArray packed(static_cast<qsizetype>(packedSize), Qt::Uninitialized);
    if (compress(reinterpret_cast<Bytef*>(packed.data()), &packedSize, reinterpret_cast<const Bytef*>(icc.constData()),
                 static_cast<uLong>(icc.size()))
        != Z_OK)
        return;
    packed.truncate(static_cast<qsizetype>(packedSize));
    QByteArray body("iCCPICC Profile", 15);
    body.append('\0'); // the name's end
    body.append('\0'); // deflate
    body.append(packed);
    QByteArray chunk;
    PutBig32(chunk, static_cast<quint32>(body.size() - 4));
    chunk.append(body);
    PutBig32(chunk, static_cast<quint32>(crc32(0, reinterpret_cast<const Bytef*>(body.constData()), static_cast<uInt>(body.size()))));
    png.insert(33, chunk); // the signature and the 25-byte header chunk come first
}

} // namespace

QImage FlattenOnWhite(const QImage& image)
{
    if (!image.hasAlphaChannel())
        return image;
    QImage flat(image.size(), QImage::Format_RGB32);
    flat.setDotsPerMeterX(image.dotsPerMeterX());
    flat.setDotsPerMeterY(image.dotsPerMeterY());
    flat.fill(Qt::white);
    QPainter painter(&flat);
    painter.drawImage(0, 0, image);
    painter.end();
    return flat;
}

bool EncodeQtImage(const BitmapImageRep& image, const char* format, const WriteProperties& properties, QByteArray& out)
{
    QImage pixels = image.image();
    if (pixels.isNull())
        return false;
    if (!properties.hasAlpha && qstrcmp(format, "png") != 0)
        pixels = FlattenOnWhite(pixels);
    if (properties.dpiX > 0 && properties.dpiY > 0) {
        pixels.setDotsPerMeterX(static_cast<int>(std::lround(properties.dpiX / 0.0254)));
        pixels.setDotsPerMeterY(static_cast<int>(std::lround(properties.dpiY / 0.0254)));
    }
    // A PNG's text chunks travel with its metadata.
    const auto text = properties.metadata.dictionaries.constFind(QStringLiteral("{PNG}"));
    if (qstrcmp(format, "png") == 0 && text != properties.metadata.dictionaries.constEnd()) {
        for (auto entry = text->constBegin(); entry != text->constEnd(); ++entry)
            pixels.setText(entry.key(), entry.value().toString());
    }
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    if (qstrcmp(format, "png") == 0)
        writer.setQuality(25); // zlib level 7: the size of other tools' PNGs at a fraction of level 9's time
    if (!writer.write(pixels)) {
        out.clear();
        return false;
    }
    if (qstrcmp(format, "png") == 0)
        InsertPNGProfile(out, image.iccProfile());
    return true;
}

bool EncodeBitmapImage(const BitmapImageRep& image, const QString& identifier, const WriteProperties& properties,
                       QByteArray& out)
{
    out.clear();
    if (image.image().isNull())
        return false;
    bool encoded = false;
    if (identifier == QLatin1String("public.jpeg"))
        encoded = EncodeJPEGImage(image, properties, out);
    else if (identifier == QLatin1String("public.png"))
        encoded = EncodeQtImage(image, "png", properties, out);
    else if (identifier == QLatin1String("public.tiff"))
        encoded = EncodeTIFFImage(image, properties, out);
    else if (identifier == QLatin1String("com.microsoft.bmp"))
        encoded = EncodeQtImage(image, "bmp", properties, out);
    else if (identifier == QLatin1String("com.compuserve.gif"))
        encoded = EncodeGIFImage(image, out);
    else if (identifier == QLatin1String("public.jpeg-2000"))
        encoded = EncodeJPEG2000Image(image, properties, out);
    else if (identifier == QLatin1String("com.adobe.pdf"))
        encoded = EncodePDFImage(image, properties, out);
    else if (identifier == QLatin1String("com.truevision.tga-image"))
        encoded = EncodeTGAImage(image, out);
    else if (identifier == QLatin1String("com.sgi.sgi-image"))
        encoded = EncodeSGIImage(image, out);
    else if (identifier == QLatin1String("com.adobe.photoshop-image"))
        encoded = EncodePhotoshopImage(image, properties, out);
    else if (identifier == QLatin1String("com.ilm.openexr-image"))
        encoded = EncodeOpenEXRImage(image, out);
    else if (identifier == QLatin1String("com.apple.macpaint-image"))
        encoded = EncodeMacPaintImage(image, out);
    else if (identifier == QLatin1String("com.apple.icns"))
        encoded = EncodeQtImage(image, "icns", properties, out);
    else if (identifier == QLatin1String("public.xbitmap-image"))
        encoded = EncodeQtImage(image, "xbm", properties, out);
    if (!encoded) {
        out.clear();
        return false;
    }
    // A metadata write that fails keeps the image as encoded: the pixels matter more than the tags.
    // JPEG takes the picture's profile here too; the other writers embed it themselves.
    const bool profile = identifier == QLatin1String("public.jpeg") && !image.iccProfile().isEmpty();
    if (FormatHoldsMetadata(identifier) && (WantsMetadata(properties) || profile))
        WriteMetadataInto(out, properties.metadata, properties.orientation, profile ? image.iccProfile() : QByteArray());
    return true;
}
