#include "toolkit/converter/ShadowBlur.h"

#include <algorithm>
#include <vector>

namespace {

// One box pass over a line of count pixels, stride apart, 4 bytes each; edges count as transparent.
void boxLine(uchar* first, int count, qsizetype stride, int radius, std::vector<uchar>& scratch)
{
    scratch.assign(static_cast<std::size_t>(count) * 4, 0);
    const int window = 2 * radius + 1;
    for (int channel = 0; channel < 4; ++channel) {
        int sum = 0;
        for (int i = 0; i < std::min(radius, count); ++i)
            sum += first[static_cast<qsizetype>(i) * stride + channel];
        for (int i = 0; i < count; ++i) {
            const int entering = i + radius;
            const int leaving = i - radius - 1;
            if (entering < count)
                sum += first[static_cast<qsizetype>(entering) * stride + channel];
            if (leaving >= 0)
                sum -= first[static_cast<qsizetype>(leaving) * stride + channel];
            scratch[static_cast<std::size_t>(i) * 4 + static_cast<std::size_t>(channel)] = static_cast<uchar>(sum / window);
        }
    }
    for (int i = 0; i < count; ++i)
        std::copy_n(scratch.data() + static_cast<std::size_t>(i) * 4, 4, first + static_cast<qsizetype>(i) * stride);
}

} // namespace

void BlurPremultipliedImage(QImage& image, int radius)
{
    if (radius < 1 || image.isNull())
        return;
    if (image.format() != QImage::Format_ARGB32_Premultiplied)
        image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    std::vector<uchar> scratch;
    const qsizetype rowStride = image.bytesPerLine();
    for (int pass = 0; pass < 3; ++pass) {
        for (int y = 0; y < image.height(); ++y)
            boxLine(image.scanLine(y), image.width(), 4, radius, scratch);
        for (int x = 0; x < image.width(); ++x)
            boxLine(image.bits() + static_cast<qsizetype>(x) * 4, image.height(), rowStride, radius, scratch);
    }
}
