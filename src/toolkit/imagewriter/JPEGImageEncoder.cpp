#include "toolkit/imagewriter/ImageEncoder.h"

#include "toolkit/codec/JPEGCodec.h"

#include <cmath>
#include <algorithm>
#include <cstring>
#include <vector>

namespace {

// Quality 0 to 1 as libjpeg's 0 to 100, truncated as the converter's CMYK road does it.
int JPEGQuality(const WriteProperties& properties)
{
    const double quality = properties.quality.value_or(0.85);
    return static_cast<int>(std::clamp(quality, 0.0, 1.0) * 100.0);
}

// The pixels packed for the glue (RGB, or grey as it is): the converted image itself when its rows have
// no padding, else a packed copy of them.
struct PackedRows {
    QImage converted;
    std::vector<uint8_t> copy;
    const uint8_t* data = nullptr;

    PackedRows(const QImage& pixels, bool grey)
        : converted(pixels.convertToFormat(grey ? QImage::Format_Grayscale8 : QImage::Format_RGB888))
    {
        const size_t rowBytes = static_cast<size_t>(converted.width()) * (grey ? 1 : 3);
        if (static_cast<size_t>(converted.bytesPerLine()) == rowBytes) {
            data = converted.constBits();
            return;
        }
        copy.resize(rowBytes * static_cast<size_t>(converted.height()));
        for (int y = 0; y < converted.height(); ++y)
            std::memcpy(copy.data() + rowBytes * static_cast<size_t>(y), converted.constScanLine(y), rowBytes);
        data = copy.data();
    }
};

} // namespace

bool EncodeJPEGImage(const BitmapImageRep& image, const WriteProperties& properties, QByteArray& out)
{
    const QImage& pixels = image.image();
    const auto width = static_cast<uint32_t>(pixels.width());
    const auto height = static_cast<uint32_t>(pixels.height());
    // JFIF holds whole dots per inch, which the glue takes by truncation: rounded here, a resolution kept in
    // dots per metre (300 dpi is 11811 in a PNG, 299.9994 dpi) comes back as the whole number it was.
    const double dpiX = std::round(properties.dpiX > 0 ? properties.dpiX : image.dpiX());
    const double dpiY = std::round(properties.dpiY > 0 ? properties.dpiY : image.dpiY());
    CodecBuffer jpeg;
    int result = 1;
    const QByteArray& inks = image.cmykSamples();
    if (image.colorSpace() == ColorSpaceModel::CMYK && inks.size() == static_cast<qsizetype>(width) * height * 4) {
        result = EncodeJPEGToMemory(width, height, reinterpret_cast<const uint8_t*>(inks.constData()), JCS_CMYK, 4,
                                    &jpeg, JPEGQuality(properties), dpiX, dpiY);
    } else {
        // JPEG holds no alpha: transparent areas show white, as on the page they came from.
        const bool grey = image.colorSpace() == ColorSpaceModel::Grey;
        const PackedRows packed(FlattenOnWhite(pixels), grey);
        result = EncodeJPEGToMemory(width, height, packed.data, grey ? JCS_GRAYSCALE : JCS_RGB, grey ? 1 : 3, &jpeg,
                                    JPEGQuality(properties), dpiX, dpiY);
    }
    if (result != 0 || jpeg.empty())
        return false;
    out = QByteArray(reinterpret_cast<const char*>(jpeg.data()), static_cast<qsizetype>(jpeg.size()));
    return true;
}
