#include "toolkit/imageio/CMYKSamples.h"

QImage RGBImageFromCMYK(const QByteArray& inks, int width, int height)
{
    if (width <= 0 || height <= 0 || inks.size() != static_cast<qsizetype>(width) * height * 4)
        return {};
    QImage pixels(width, height, QImage::Format_RGB32);
    if (pixels.isNull())
        return {};
    const auto* ink = reinterpret_cast<const uchar*>(inks.constData());
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(pixels.scanLine(y));
        for (int x = 0; x < width; ++x, ink += 4)
            row[x] = CMYKToRGB(ink[0], ink[1], ink[2], ink[3]);
    }
    return pixels;
}
