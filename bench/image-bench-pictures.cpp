#include "image-bench-pictures.h"

#include <QDir>
#include <QFont>
#include <QImage>
#include <QImageWriter>
#include <QPainter>

#include <cmath>
#include <cstdint>

namespace {

// A small fast generator: the noise only has to defeat the codecs' shortcuts, not be random.
std::uint32_t NextNoise(std::uint32_t& state)
{
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
}

QImage Picture(int index, int width, int height)
{
    QImage picture(width, height, QImage::Format_RGB32);
    std::uint32_t state = 0x9E3779B9U + static_cast<std::uint32_t>(index) * 7919U;
    const double phase = index * 0.37;
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(picture.scanLine(y));
        const double v = static_cast<double>(y) / height;
        for (int x = 0; x < width; ++x) {
            const double u = static_cast<double>(x) / width;
            const int noise = static_cast<int>(NextNoise(state) % 17) - 8;
            const int r = static_cast<int>(127 + 100 * std::sin(6.0 * u + phase)) + noise;
            const int g = static_cast<int>(40 + 180 * v) + noise;
            const int b = static_cast<int>(127 + 90 * std::cos(4.0 * (u + v) - phase)) + noise;
            row[x] = qRgb(qBound(0, r, 255), qBound(0, g, 255), qBound(0, b, 255));
        }
    }
    QPainter painter(&picture);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(height / 12);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRect(0, height / 3, width, height / 3), Qt::AlignCenter,
                     QStringLiteral("Holiday picture %1").arg(index + 1));
    return picture;
}

} // namespace

bool WriteBenchPictures(const QString& folder, int count, int width, int height)
{
    for (int i = 0; i < count; ++i) {
        QImageWriter writer(QDir(folder).filePath(QStringLiteral("picture-%1.jpg").arg(i, 2, 10, QLatin1Char('0'))), "jpeg");
        writer.setQuality(90);
        if (!writer.write(Picture(i, width, height)))
            return false;
    }
    return true;
}
