#include "toolkit/imageio/ImageReaders.h"
#include "toolkit/imageio/SourceLimits.h"
#include "toolkit/imageio/TIFFSamples.h"
#include "toolkit/imageio/UprightImage.h"

#include <tiffio.h>

#include <algorithm>
#include <cstring>

namespace {

struct MemoryFile {
    const QByteArray* bytes = nullptr;
    toff_t offset = 0;
};

tsize_t readMemory(thandle_t handle, tdata_t buffer, tsize_t size)
{
    auto* file = static_cast<MemoryFile*>(handle);
    const auto total = static_cast<toff_t>(file->bytes->size());
    if (size <= 0 || file->offset >= total)
        return 0;
    const auto count = std::min<toff_t>(static_cast<toff_t>(size), total - file->offset);
    std::memcpy(buffer, file->bytes->constData() + file->offset, count);
    file->offset += count;
    return static_cast<tsize_t>(count);
}

tsize_t writeNothing(thandle_t, tdata_t, tsize_t)
{
    return 0;
}

toff_t seekMemory(thandle_t handle, toff_t offset, int whence)
{
    auto* file = static_cast<MemoryFile*>(handle);
    const auto total = static_cast<toff_t>(file->bytes->size());
    toff_t base = 0;
    if (whence == SEEK_CUR)
        base = file->offset;
    else if (whence == SEEK_END)
        base = total;
    file->offset = base + offset;
    return file->offset;
}

int closeNothing(thandle_t)
{
    return 0;
}

toff_t memorySize(thandle_t handle)
{
    return static_cast<toff_t>(static_cast<MemoryFile*>(handle)->bytes->size());
}

// The bytes are in memory already: libtiff reads uncompressed strips from them in place.
int mapMemory(thandle_t handle, tdata_t* base, toff_t* size)
{
    const auto* file = static_cast<MemoryFile*>(handle);
    *base = const_cast<char*>(file->bytes->constData());
    *size = static_cast<toff_t>(file->bytes->size());
    return 1;
}

void unmapNothing(thandle_t, tdata_t, toff_t) {}

int quietHandler(TIFF*, void*, const char*, const char*, va_list)
{
    return 1;
}

struct TIFFCloser {
    void operator()(TIFF* tiff) const { TIFFClose(tiff); }
};

struct OptionsFree {
    void operator()(TIFFOpenOptions* options) const { TIFFOpenOptionsFree(options); }
};

double resolutionOf(TIFF* tiff, ttag_t tag)
{
    float value = 0;
    if (!TIFFGetField(tiff, tag, &value) || !(value > 0))
        return 0;
    uint16_t unit = RESUNIT_INCH;
    TIFFGetFieldDefaulted(tiff, TIFFTAG_RESOLUTIONUNIT, &unit);
    if (unit == RESUNIT_CENTIMETER)
        return value * 2.54;
    if (unit == RESUNIT_NONE)
        return 0;
    return value;
}

AlphaKind alphaKindOf(TIFF* tiff)
{
    uint16_t count = 0;
    uint16_t* kinds = nullptr;
    if (!TIFFGetField(tiff, TIFFTAG_EXTRASAMPLES, &count, &kinds) || count == 0 || !kinds)
        return AlphaKind::None;
    if (kinds[0] == EXTRASAMPLE_ASSOCALPHA)
        return AlphaKind::PremultipliedLast;
    if (kinds[0] == EXTRASAMPLE_UNASSALPHA)
        return AlphaKind::Last;
    return AlphaKind::NoneSkipLast;
}

// Pixels through libtiff's RGBA conversion, rows as stored: asking for the page's own orientation
// leaves them unturned (libtiff would only mirror a page turned across a diagonal, not transpose it).
QImage readRGBAPixels(TIFF* tiff, uint32_t width, uint32_t height, AlphaKind alpha, uint16_t orientation)
{
    QImage pixels(static_cast<int>(width), static_cast<int>(height), QImage::Format_RGBA8888_Premultiplied);
    if (pixels.isNull())
        return {};
    // The raster is packed A, B, G, R from the high byte: the bytes R, G, B, A in memory, alpha
    // premultiplied, the rows in the order asked for (libtiff's own buffer layout equals QImage's: no row
    // padding).
    if (!TIFFReadRGBAImageOriented(tiff, width, height, reinterpret_cast<uint32_t*>(pixels.bits()), orientation, 0))
        return {};
    if (!AlphaKindHasAlpha(alpha))
        pixels.reinterpretAsFormat(QImage::Format_RGBX8888); // every alpha byte is 255 already
    return pixels;
}

std::shared_ptr<ImageRep> readPage(TIFF* tiff)
{
    uint32_t width = 0, height = 0;
    TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &width);
    TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &height);
    if (width == 0 || height == 0)
        return nullptr;
    uint16_t orientation = ORIENTATION_TOPLEFT;
    TIFFGetFieldDefaulted(tiff, TIFFTAG_ORIENTATION, &orientation);
    if (orientation < ORIENTATION_TOPLEFT || orientation > ORIENTATION_LEFTBOT)
        orientation = ORIENTATION_TOPLEFT;
    BitmapImageRep::Description description;
    QByteArray inks;
    QImage pixels;
    if (const auto layout = TIFFSampleLayoutOf(tiff)) {
        pixels = ReadTIFFSamples(tiff, *layout, inks);
        description.alphaKind = layout->alpha;
        description.bitsPerComponent = layout->deep() ? 16 : 8;
        const bool greyWithAlpha = layout->colorSpace == ColorSpaceModel::Grey && layout->alpha != AlphaKind::None;
        description.colorSpace = greyWithAlpha ? ColorSpaceModel::RGB : layout->colorSpace;
    }
    if (pixels.isNull()) {
        char message[1024] = {};
        if (!TIFFRGBAImageOK(tiff, message)) {
            // libtiff says what it cannot take (signed or 64-bit samples, an unknown colour model).
            qWarning("A TIFF page is not read: %s", message);
            return nullptr;
        }
        description = {};
        description.alphaKind = alphaKindOf(tiff);
        pixels = readRGBAPixels(tiff, width, height, description.alphaKind, orientation);
        if (pixels.isNull())
            return nullptr;
        uint16_t photometric = 0, samples = 1;
        TIFFGetField(tiff, TIFFTAG_PHOTOMETRIC, &photometric);
        TIFFGetFieldDefaulted(tiff, TIFFTAG_SAMPLESPERPIXEL, &samples);
        if ((photometric == PHOTOMETRIC_MINISBLACK || photometric == PHOTOMETRIC_MINISWHITE) && samples == 1
            && !AlphaKindHasAlpha(description.alphaKind)) {
            description.colorSpace = ColorSpaceModel::Grey;
            pixels = pixels.convertToFormat(QImage::Format_Grayscale8);
        } else if (photometric == PHOTOMETRIC_PALETTE) {
            description.colorSpace = ColorSpaceModel::Indexed;
        }
    }

    description.dpiX = resolutionOf(tiff, TIFFTAG_XRESOLUTION);
    description.dpiY = resolutionOf(tiff, TIFFTAG_YRESOLUTION);
    description.metadata.orientation = orientation;
    uint32_t iccLength = 0;
    void* icc = nullptr;
    if (TIFFGetField(tiff, TIFFTAG_ICCPROFILE, &iccLength, &icc) && icc)
        description.iccProfile = QByteArray(static_cast<const char*>(icc), static_cast<qsizetype>(iccLength));
    // Each page is shown upright by its own orientation, once, here: a page of the file's second
    // directory may be turned otherwise than the first, whose tag is all the file's Exif says.
    return UprightBitmap(std::make_shared<BitmapImageRep>(std::move(pixels), std::move(inks), std::move(description)));
}

// What the current page takes while it is read: its own samples' kept form, or 32-bit pixels from the
// RGBA conversion, and beside them one decoded strip or tile (the whole page, when it is one strip).
std::uint64_t keptPageBytes(TIFF* tiff)
{
    uint32_t width = 0, height = 0;
    TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &width);
    TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &height);
    const auto layout = TIFFSampleLayoutOf(tiff);
    const std::uint64_t pixels = DecodedImageBytes(width, height, layout ? layout->keptBytesPerPixel() : 4);
    const std::uint64_t chunk = TIFFIsTiled(tiff) ? TIFFTileSize64(tiff) : TIFFStripSize64(tiff);
    return pixels > kMaxSourceDecodedBytes ? pixels : pixels + std::min(chunk, kMaxSourceDecodedBytes + 1);
}

} // namespace

ImageRepList ReadTIFFRepresentations(const QByteArray& bytes)
{
    if (bytes.size() < 8)
        return {};
    MemoryFile file{&bytes, 0};
    std::unique_ptr<TIFFOpenOptions, OptionsFree> options(TIFFOpenOptionsAlloc());
    TIFFOpenOptionsSetErrorHandlerExtR(options.get(), quietHandler, nullptr);
    TIFFOpenOptionsSetWarningHandlerExtR(options.get(), quietHandler, nullptr);
    TIFFOpenOptionsSetMaxSingleMemAlloc(options.get(), static_cast<tmsize_t>(kMaxSourceDecodedBytes));
    std::unique_ptr<TIFF, TIFFCloser> tiff(TIFFClientOpenExt("memory", "r", &file, readMemory, writeNothing, seekMemory,
                                                             closeNothing, memorySize, mapMemory, unmapNothing,
                                                             options.get()));
    if (!tiff)
        return {};
    // A chain of directories is the file's word: pages are counted and their pixels weighed before any
    // is decoded, so that a file of endless small pages is refused as fast as one of a few huge ones.
    SourceBudget budget("TIFF");
    do {
        if (!budget.admit(keptPageBytes(tiff.get())))
            return {};
    } while (TIFFReadDirectory(tiff.get()));
    if (!TIFFSetDirectory(tiff.get(), 0))
        return {};
    ImageRepList pages;
    do {
        if (auto page = readPage(tiff.get()))
            pages.push_back(std::move(page));
    } while (TIFFReadDirectory(tiff.get()));
    return pages;
}
