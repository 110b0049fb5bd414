#include "toolkit/codec/ImageLimits.h"
#include "toolkit/codec/WebPPictureReaders.h"

#include <memory>
#include <new>
#include <vector>

#include <tiffio.h>

namespace {

struct TIFFClose {
    void operator()(TIFF* tiff) const { ::TIFFClose(tiff); }
};
using TIFFFile = std::unique_ptr<TIFF, TIFFClose>;

void WarnAboutFurtherDirectories(TIFF* tiff)
{
    const tdir_t directories = TIFFNumberOfDirectories(tiff);
    if (directories > 1) {
        std::fprintf(stderr,
                     "Warning: multi-directory TIFF files are not supported.\n"
                     "Only the first will be used, %d will be ignored.\n",
                     static_cast<int>(directories) - 1);
    }
}

uint8_t Unpremultiplied(uint32_t sample, uint32_t alpha)
{
    const uint32_t value = (sample * 255 + alpha / 2) / alpha;
    return static_cast<uint8_t>(value > 255 ? 255 : value);
}

// libtiff's RGBA road hands out premultiplied pixels whatever the file held; WebP takes straight alpha,
// so semi-transparent pixels get their own colour back (fully transparent ones have none left to recover).
// In place: each packed pixel becomes the bytes R, G, B, A in its own four bytes.
void ToStraightRGBA(uint32_t* raster, size_t count)
{
    auto* rgba = reinterpret_cast<uint8_t*>(raster);
    for (size_t i = 0; i < count; ++i, rgba += 4) {
        const uint32_t pixel = raster[i];
        const uint32_t alpha = TIFFGetA(pixel);
        rgba[3] = static_cast<uint8_t>(alpha);
        if (alpha == 255 || alpha == 0) {
            rgba[0] = static_cast<uint8_t>(TIFFGetR(pixel));
            rgba[1] = static_cast<uint8_t>(TIFFGetG(pixel));
            rgba[2] = static_cast<uint8_t>(TIFFGetB(pixel));
        } else {
            rgba[0] = Unpremultiplied(TIFFGetR(pixel), alpha);
            rgba[1] = Unpremultiplied(TIFFGetG(pixel), alpha);
            rgba[2] = Unpremultiplied(TIFFGetB(pixel), alpha);
        }
    }
}

bool ReadPixels(TIFF* tiff, uint32_t width, uint32_t height, bool keepAlpha, WebPPicture* picture)
{
    const size_t count = size_t{width} * height;
    std::vector<uint32_t> raster;
    try {
        raster.resize(count);
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "Error allocating TIFF RGBA memory!\n");
        return false;
    }
    if (!TIFFReadRGBAImageOriented(tiff, width, height, raster.data(), ORIENTATION_TOPLEFT, 1))
        return false;
    ToStraightRGBA(raster.data(), count);
    const auto* rgba = reinterpret_cast<const uint8_t*>(raster.data());
    picture->width = static_cast<int>(width);
    picture->height = static_cast<int>(height);
    const int stride = static_cast<int>(width * 4);
    return keepAlpha ? WebPPictureImportRGBA(picture, rgba, stride) : WebPPictureImportRGBX(picture, rgba, stride);
}

bool CopyTag(TIFF* tiff, ttag_t tag, CodecBuffer& payload)
{
    uint32_t size = 0;
    void* bytes = nullptr;
    if (!TIFFGetField(tiff, tag, &size, &bytes))
        return true;
    return MetadataCopy(static_cast<const char*>(bytes), size, &payload) != 0;
}

bool ExtractTIFFMetadata(TIFF* tiff, Metadata& metadata)
{
    if (!CopyTag(tiff, TIFFTAG_ICCPROFILE, metadata.iccp) || !CopyTag(tiff, TIFFTAG_XMLPACKET, metadata.xmp))
        return false;
    toff_t exifOffset = 0;
    if (TIFFGetField(tiff, TIFFTAG_EXIFIFD, &exifOffset))
        std::fprintf(stderr, "Warning: EXIF extraction from TIFF is unsupported.\n");
    return true;
}

} // namespace

int ReadTIFF(const char* path, WebPPicture* picture, int keepAlpha, Metadata* metadata)
{
    if (!path || !picture)
        return 0;
    TIFFFile tiff(TIFFOpen(path, "r"));
    if (!tiff) {
        std::fprintf(stderr, "Error! Cannot open TIFF file '%s'\n", path);
        MetadataFree(metadata);
        return 0;
    }
    WarnAboutFurtherDirectories(tiff.get());
    uint32_t width = 0;
    uint32_t height = 0;
    if (!TIFFGetField(tiff.get(), TIFFTAG_IMAGEWIDTH, &width) || !TIFFGetField(tiff.get(), TIFFTAG_IMAGELENGTH, &height)) {
        std::fprintf(stderr, "Error! Cannot retrieve TIFF image dimensions.\n");
        MetadataFree(metadata);
        return 0;
    }
    if (width > WEBP_MAX_DIMENSION || height > WEBP_MAX_DIMENSION || !FitsDecodedImageLimit(width, height, 4) || !ReadPixels(tiff.get(), width, height, keepAlpha != 0, picture)) {
        MetadataFree(metadata);
        return 0;
    }
    if (metadata && !ExtractTIFFMetadata(tiff.get(), *metadata)) {
        std::fprintf(stderr, "Error extracting TIFF metadata!\n");
        MetadataFree(metadata);
        WebPPictureFree(picture);
        return 0;
    }
    return 1;
}
