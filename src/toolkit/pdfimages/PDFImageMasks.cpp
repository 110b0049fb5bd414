#include "toolkit/pdfimages/PDFImageMasks.h"

namespace {

// The sample at a bit offset, most significant bit first.
unsigned SampleAt(const uchar* row, qsizetype index, int bits)
{
    if (bits == 8)
        return row[index];
    if (bits == 16)
        return (unsigned(row[index * 2]) << 8) | row[index * 2 + 1];
    const qsizetype bit = index * bits;
    const unsigned byte = row[bit / 8];
    const int shift = 8 - bits - int(bit % 8);
    return (byte >> shift) & ((1u << bits) - 1);
}

} // namespace

std::optional<QImage> ColorKeyAlpha(const QByteArray& samples, int bits, int components, int width, int height,
                                    const std::vector<double>& ranges)
{
    if (bits != 1 && bits != 2 && bits != 4 && bits != 8 && bits != 16)
        return std::nullopt;
    if (components <= 0 || ranges.size() < size_t(components) * 2)
        return std::nullopt;
    const qsizetype rowBytes = (qsizetype(width) * components * bits + 7) / 8;
    if (samples.size() < rowBytes * height)
        return std::nullopt;
    QImage alpha(width, height, QImage::Format_Grayscale8);
    if (alpha.isNull())
        return std::nullopt;
    for (int y = 0; y < height; ++y) {
        const auto* row = reinterpret_cast<const uchar*>(samples.constData()) + rowBytes * y;
        uchar* out = alpha.scanLine(y);
        for (int x = 0; x < width; ++x) {
            bool keyed = true;
            for (int c = 0; c < components && keyed; ++c) {
                const double value = SampleAt(row, qsizetype(x) * components + c, bits);
                keyed = value >= ranges[size_t(c) * 2] && value <= ranges[size_t(c) * 2 + 1];
            }
            out[x] = keyed ? 0 : 255;
        }
    }
    return alpha;
}

QImage MaskAlpha(const BitmapImageRep& mask, MaskMeaning meaning, QSize size)
{
    QImage gray = mask.image().convertToFormat(QImage::Format_Grayscale8);
    if (gray.size() != size)
        gray = gray.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    if (meaning == MaskMeaning::Stencil)
        gray.invertPixels();
    return gray;
}

std::shared_ptr<BitmapImageRep> ImageWithAlpha(const BitmapImageRep& image, const QImage& alpha)
{
    QImage pixels = image.image().convertToFormat(QImage::Format_RGBA8888);
    if (pixels.isNull() || alpha.size() != pixels.size())
        return nullptr;
    for (int y = 0; y < pixels.height(); ++y) {
        uchar* row = pixels.scanLine(y);
        const uchar* coverage = alpha.constScanLine(y);
        for (int x = 0; x < pixels.width(); ++x)
            row[x * 4 + 3] = coverage[x];
    }
    BitmapImageRep::Description description;
    description.colorSpace = ColorSpaceModel::RGB;
    description.alphaKind = AlphaKind::Last;
    // Gray and CMYK pixels were made RGB to take alpha; their profile no longer describes them.
    if (image.colorSpace() == ColorSpaceModel::RGB)
        description.iccProfile = image.iccProfile();
    return std::make_shared<BitmapImageRep>(std::move(pixels), description);
}
