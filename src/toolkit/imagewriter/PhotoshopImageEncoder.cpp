#include "toolkit/imagewriter/ImageEncoder.h"

#include <cmath>

// Flat Photoshop files: one composite image, uncompressed, with its resolution; no layers.

namespace {

void PutBig16(QByteArray& out, quint32 value)
{
    out.append(static_cast<char>((value >> 8) & 0xFF));
    out.append(static_cast<char>(value & 0xFF));
}

void PutBig32(QByteArray& out, quint32 value)
{
    PutBig16(out, value >> 16);
    PutBig16(out, value & 0xFFFF);
}

// The resolution resource (1005): fixed-point dots per inch, shown in inches; then the other resources
// given, the section's length counting them all.
void PutResources(QByteArray& out, double dpiX, double dpiY, const QByteArray& others)
{
    QByteArray resource;
    resource.append("8BIM", 4);
    PutBig16(resource, 0x03ED);
    PutBig16(resource, 0); // empty name, padded to even
    PutBig32(resource, 16);
    for (const double dpi : {dpiX, dpiY}) {
        PutBig32(resource, static_cast<quint32>(std::lround(dpi * 65536.0)));
        PutBig16(resource, 1);
        PutBig16(resource, 1);
    }
    resource.append(others);
    PutBig32(out, static_cast<quint32>(resource.size()));
    out.append(resource);
}

// The colour profile resource (1039), its data padded to an even length.
QByteArray ProfileResource(const QByteArray& icc)
{
    QByteArray resource;
    if (icc.isEmpty())
        return resource;
    resource.append("8BIM", 4);
    PutBig16(resource, 0x040F);
    PutBig16(resource, 0);
    PutBig32(resource, static_cast<quint32>(icc.size()));
    resource.append(icc);
    if (icc.size() % 2 != 0)
        resource.append(char(0));
    return resource;
}

} // namespace

bool EncodePhotoshopImage(const BitmapImageRep& image, const WriteProperties& properties, QByteArray& out)
{
    const QImage& pixels = image.image();
    if (pixels.isNull() || pixels.width() > 30000 || pixels.height() > 30000)
        return false;
    const int width = pixels.width();
    const int height = pixels.height();
    const bool alpha = pixels.hasAlphaChannel();
    const QByteArray& inks = image.cmykSamples();
    const bool cmyk = image.colorSpace() == ColorSpaceModel::CMYK && inks.size() == static_cast<qsizetype>(width) * height * 4;
    const bool grey = !cmyk && !alpha && image.colorSpace() == ColorSpaceModel::Grey;
    const int colours = cmyk ? 4 : grey ? 1
                                        : 3;
    const int channels = colours + (alpha ? 1 : 0);
    out.clear();
    out.append("8BPS", 4);
    PutBig16(out, 1);
    out.append(6, char(0));
    PutBig16(out, static_cast<quint32>(channels));
    PutBig32(out, static_cast<quint32>(height));
    PutBig32(out, static_cast<quint32>(width));
    PutBig16(out, 8);
    PutBig16(out, cmyk ? 4 : grey ? 1
                                  : 3);
    PutBig32(out, 0); // no colour mode data
    PutResources(out, properties.dpiX > 0 ? properties.dpiX : image.dpiX(),
                 properties.dpiY > 0 ? properties.dpiY : image.dpiY(), ProfileResource(image.iccProfile()));
    PutBig32(out, 0); // no layers
    PutBig16(out, 0); // raw image data, one plane a channel
    const QImage rgba = pixels.convertToFormat(grey ? QImage::Format_Grayscale8 : QImage::Format_RGBA8888);
    const auto* inkBytes = reinterpret_cast<const uchar*>(inks.constData());
    const qsizetype planeStart = out.size();
    out.resize(planeStart + static_cast<qsizetype>(width) * height * channels);
    auto* plane = reinterpret_cast<uchar*>(out.data() + planeStart);
    for (int channel = 0; channel < channels; ++channel) {
        for (int y = 0; y < height; ++y) {
            const uchar* row = rgba.constScanLine(y);
            for (int x = 0; x < width; ++x) {
                const size_t at = static_cast<size_t>(y) * width + x;
                uchar value = 0;
                if (channel == colours)
                    value = row[x * 4 + 3];
                else if (cmyk)
                    value = static_cast<uchar>(255 - inkBytes[at * 4 + channel]); // stored inverted: 255 is no ink
                else if (grey)
                    value = row[x];
                else
                    value = row[x * 4 + channel];
                *plane++ = value;
            }
        }
    }
    return true;
}
