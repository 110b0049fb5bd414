#include "toolkit/converter/LuminanceSharpen.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

std::vector<float> GaussianKernel(double sigma)
{
    const int reach = std::max(1, static_cast<int>(std::ceil(sigma * 3.0)));
    std::vector<float> kernel(static_cast<size_t>(reach * 2 + 1));
    double total = 0;
    for (int i = -reach; i <= reach; ++i) {
        const double weight = std::exp(-(i * i) / (2.0 * sigma * sigma));
        kernel[static_cast<size_t>(i + reach)] = static_cast<float>(weight);
        total += weight;
    }
    for (float& weight : kernel)
        weight = static_cast<float>(weight / total);
    return kernel;
}

// One pass of the separable blur; edges repeat their last sample.
void BlurPass(const std::vector<float>& in, std::vector<float>& out, int width, int height, bool horizontal,
              const std::vector<float>& kernel)
{
    const int reach = static_cast<int>(kernel.size() / 2);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            float sum = 0;
            for (int k = -reach; k <= reach; ++k) {
                const int sx = horizontal ? std::clamp(x + k, 0, width - 1) : x;
                const int sy = horizontal ? y : std::clamp(y + k, 0, height - 1);
                sum += kernel[static_cast<size_t>(k + reach)] * in[static_cast<size_t>(sy) * width + sx];
            }
            out[static_cast<size_t>(y) * width + x] = sum;
        }
    }
}

float Luminance(QRgb pixel)
{
    return 0.2126F * qRed(pixel) + 0.7152F * qGreen(pixel) + 0.0722F * qBlue(pixel);
}

} // namespace

void SharpenLuminance(QImage& image, double radius, double amount)
{
    if (image.isNull() || radius <= 0)
        return;
    if (image.format() != QImage::Format_ARGB32_Premultiplied && image.format() != QImage::Format_RGB32)
        image = image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    const int width = image.width();
    const int height = image.height();
    std::vector<float> luminance(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < width; ++x)
            luminance[static_cast<size_t>(y) * width + x] = Luminance(row[x]);
    }
    const std::vector<float> kernel = GaussianKernel(radius);
    std::vector<float> across(luminance.size());
    std::vector<float> blurred(luminance.size());
    BlurPass(luminance, across, width, height, true, kernel);
    BlurPass(across, blurred, width, height, false, kernel);
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const size_t at = static_cast<size_t>(y) * width + x;
            const int delta = static_cast<int>(std::lround(amount * (luminance[at] - blurred[at])));
            if (delta == 0)
                continue;
            const QRgb pixel = row[x];
            const int alpha = qAlpha(pixel);
            // Premultiplied samples never pass their alpha.
            const auto shift = [&](int sample) { return std::clamp(sample + delta * alpha / 255, 0, alpha); };
            row[x] = qRgba(shift(qRed(pixel)), shift(qGreen(pixel)), shift(qBlue(pixel)), alpha);
        }
    }
}
