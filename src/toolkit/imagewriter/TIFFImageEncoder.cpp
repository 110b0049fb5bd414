#include "toolkit/imagewriter/ImageEncoder.h"

#include <tiffio.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

namespace {

// libtiff writes through these procedures into a growing byte array that it may seek back into.
struct MemoryFile {
    QByteArray bytes;
    qsizetype position = 0;
};

tsize_t ReadProc(thandle_t, tdata_t, tsize_t)
{
    return 0;
}

tsize_t WriteProc(thandle_t handle, tdata_t data, tsize_t size)
{
    auto* file = static_cast<MemoryFile*>(handle);
    const qsizetype end = file->position + static_cast<qsizetype>(size);
    if (end > file->bytes.size())
        file->bytes.resize(end);
    std::memcpy(file->bytes.data() + file->position, data, static_cast<size_t>(size));
    file->position = end;
    return size;
}

toff_t SeekProc(thandle_t handle, toff_t offset, int whence)
{
    auto* file = static_cast<MemoryFile*>(handle);
    qsizetype base = 0;
    if (whence == SEEK_CUR)
        base = file->position;
    else if (whence == SEEK_END)
        base = file->bytes.size();
    const qsizetype position = base + static_cast<qsizetype>(offset);
    if (offset > static_cast<toff_t>(std::numeric_limits<qsizetype>::max() / 2) || position < 0)
        return static_cast<toff_t>(-1);
    file->position = position;
    return static_cast<toff_t>(position);
}

int CloseProc(thandle_t)
{
    return 0;
}

toff_t SizeProc(thandle_t handle)
{
    return static_cast<toff_t>(static_cast<MemoryFile*>(handle)->bytes.size());
}

int MapProc(thandle_t, tdata_t*, toff_t*)
{
    return 0;
}

void UnmapProc(thandle_t, tdata_t, toff_t) {}

struct TIFFClose_ {
    void operator()(TIFF* tiff) const { TIFFClose(tiff); }
};

// The rows of one page as libtiff takes them: samples interleaved, alpha unassociated after the colours.
struct PageLayout {
    uint16_t photometric = PHOTOMETRIC_RGB;
    uint16_t samples = 3;
    uint16_t bits = 8;
    bool alpha = false;
    std::vector<uint8_t> rows;
};

// Sixteen-bit RGB or grey pages keep their depth, as PNG does: samples in the machine's order, which
// libtiff marks in the header.
PageLayout DeepLayoutOf(const QImage& pixels, bool grey, bool alpha)
{
    PageLayout layout;
    layout.bits = 16;
    const int width = pixels.width();
    const int height = pixels.height();
    if (grey && !alpha) {
        const QImage deep = pixels.convertToFormat(QImage::Format_Grayscale16);
        layout.photometric = PHOTOMETRIC_MINISBLACK;
        layout.samples = 1;
        const size_t rowBytes = static_cast<size_t>(width) * 2;
        layout.rows.resize(rowBytes * height);
        for (int y = 0; y < height; ++y)
            std::memcpy(layout.rows.data() + rowBytes * y, deep.constScanLine(y), rowBytes);
        return layout;
    }
    const QImage deep = pixels.convertToFormat(QImage::Format_RGBA64);
    layout.samples = alpha ? 4 : 3;
    layout.alpha = alpha;
    const size_t rowBytes = static_cast<size_t>(width) * layout.samples * 2;
    layout.rows.resize(rowBytes * height);
    for (int y = 0; y < height; ++y) {
        const auto* in = reinterpret_cast<const uint16_t*>(deep.constScanLine(y));
        auto* out = reinterpret_cast<uint16_t*>(layout.rows.data() + rowBytes * y);
        for (int x = 0; x < width; ++x, in += 4, out += layout.samples)
            std::memcpy(out, in, static_cast<size_t>(layout.samples) * 2);
    }
    return layout;
}

PageLayout LayoutOf(const BitmapImageRep& image, bool alphaWanted)
{
    PageLayout layout;
    const QImage& pixels = image.image();
    const int width = pixels.width();
    const int height = pixels.height();
    const QByteArray& inks = image.cmykSamples();
    const bool alpha = alphaWanted && pixels.hasAlphaChannel();
    if (image.colorSpace() == ColorSpaceModel::CMYK && inks.size() == static_cast<qsizetype>(width) * height * 4) {
        layout.photometric = PHOTOMETRIC_SEPARATED;
        layout.samples = alpha ? 5 : 4;
        layout.alpha = alpha;
        const QImage mask = alpha ? pixels.convertToFormat(QImage::Format_RGBA8888) : QImage();
        layout.rows.resize(static_cast<size_t>(width) * height * layout.samples);
        uint8_t* out = layout.rows.data();
        const auto* in = reinterpret_cast<const uint8_t*>(inks.constData());
        for (int y = 0; y < height; ++y) {
            const uint8_t* maskRow = alpha ? mask.constScanLine(y) : nullptr;
            for (int x = 0; x < width; ++x) {
                std::memcpy(out, in, 4);
                out += 4;
                in += 4;
                if (alpha)
                    *out++ = maskRow[x * 4 + 3];
            }
        }
        return layout;
    }
    if (image.bitsPerComponent() == 16 && image.colorSpace() != ColorSpaceModel::Indexed)
        return DeepLayoutOf(pixels, image.colorSpace() == ColorSpaceModel::Grey, alpha);
    if (image.colorSpace() == ColorSpaceModel::Grey && !alpha) {
        const QImage grey = pixels.convertToFormat(QImage::Format_Grayscale8);
        layout.photometric = PHOTOMETRIC_MINISBLACK;
        layout.samples = 1;
        layout.rows.resize(static_cast<size_t>(width) * height);
        for (int y = 0; y < height; ++y)
            std::memcpy(layout.rows.data() + static_cast<size_t>(y) * width, grey.constScanLine(y), static_cast<size_t>(width));
        return layout;
    }
    const QImage rgb = alpha ? pixels.convertToFormat(QImage::Format_RGBA8888) : FlattenOnWhite(pixels).convertToFormat(QImage::Format_RGB888);
    layout.samples = alpha ? 4 : 3;
    layout.alpha = alpha;
    const size_t rowBytes = static_cast<size_t>(width) * layout.samples;
    layout.rows.resize(rowBytes * height);
    for (int y = 0; y < height; ++y)
        std::memcpy(layout.rows.data() + rowBytes * y, rgb.constScanLine(y), rowBytes);
    return layout;
}

} // namespace

bool EncodeTIFFImage(const BitmapImageRep& image, const WriteProperties& properties, QByteArray& out)
{
    const QImage& pixels = image.image();
    const auto width = static_cast<uint32_t>(pixels.width());
    const auto height = static_cast<uint32_t>(pixels.height());
    // CMYK keeps a mask whenever the image has one; RGB when the converter asks or the image has alpha.
    const PageLayout layout = LayoutOf(image, true);
    MemoryFile file;
    std::unique_ptr<TIFF, TIFFClose_> tiff(TIFFClientOpen("memory", "w", &file, ReadProc, WriteProc, SeekProc, CloseProc,
                                                          SizeProc, MapProc, UnmapProc));
    if (!tiff)
        return false;
    TIFF* t = tiff.get();
    TIFFSetField(t, TIFFTAG_IMAGEWIDTH, width);
    TIFFSetField(t, TIFFTAG_IMAGELENGTH, height);
    TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, layout.bits);
    TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, layout.samples);
    TIFFSetField(t, TIFFTAG_PHOTOMETRIC, layout.photometric);
    TIFFSetField(t, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    if (layout.photometric == PHOTOMETRIC_SEPARATED)
        TIFFSetField(t, TIFFTAG_INKSET, INKSET_CMYK);
    if (layout.alpha) {
        uint16_t kind = EXTRASAMPLE_UNASSALPHA;
        TIFFSetField(t, TIFFTAG_EXTRASAMPLES, 1, &kind);
    }
    const bool lzw = properties.tiffCompression == COMPRESSION_LZW;
    TIFFSetField(t, TIFFTAG_COMPRESSION, lzw ? COMPRESSION_LZW : COMPRESSION_NONE);
    if (lzw)
        TIFFSetField(t, TIFFTAG_PREDICTOR, PREDICTOR_HORIZONTAL);
    if (properties.orientation >= 1 && properties.orientation <= 8)
        TIFFSetField(t, TIFFTAG_ORIENTATION, static_cast<uint16_t>(properties.orientation));
    // Inches always: a file whose unit says "none" is read as 72 dpi by most readers.
    if (properties.dpiX > 0 && properties.dpiY > 0) {
        TIFFSetField(t, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
        TIFFSetField(t, TIFFTAG_XRESOLUTION, static_cast<float>(properties.dpiX));
        TIFFSetField(t, TIFFTAG_YRESOLUTION, static_cast<float>(properties.dpiY));
    }
    const QByteArray& icc = image.iccProfile();
    if (!icc.isEmpty())
        TIFFSetField(t, TIFFTAG_ICCPROFILE, static_cast<uint32_t>(icc.size()), icc.constData());
    const size_t rowBytes = static_cast<size_t>(width) * layout.samples * (layout.bits / 8);
    TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(t, 0));
    for (uint32_t row = 0; row < height; ++row) {
        auto* line = const_cast<uint8_t*>(layout.rows.data() + rowBytes * row);
        if (TIFFWriteScanline(t, line, row, 0) < 0)
            return false;
    }
    if (!TIFFWriteDirectory(t))
        return false;
    tiff.reset();
    out = std::move(file.bytes);
    return !out.isEmpty();
}
