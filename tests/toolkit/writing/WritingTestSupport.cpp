#include "toolkit/writing/WritingTestSupport.h"

#include "toolkit/imageio/Image.h"

#include <QFile>
#include <QUrl>

#include <tiffio.h>

#include <cstdlib>

namespace WritingTest {

std::shared_ptr<BitmapImageRep> readBack(const QString& path)
{
    const auto image = Image::fromURL(QUrl::fromLocalFile(path));
    if (!image || image->representations().empty())
        return nullptr;
    return std::dynamic_pointer_cast<BitmapImageRep>(image->representations().front());
}

ImageSizeOptions pixelBox(double width, double height, std::uint32_t fitMode, bool keepAspectRatio)
{
    ImageSizeOptions size;
    size.resize = 1;
    size.keepAspectRatio = keepAspectRatio ? 1 : 0;
    size.fitMode = fitMode;
    size.unit = 2;
    size.width = width;
    size.height = height;
    return size;
}

bool near(QRgb actual, QRgb expected, int tolerance)
{
    return std::abs(qRed(actual) - qRed(expected)) <= tolerance && std::abs(qGreen(actual) - qGreen(expected)) <= tolerance
           && std::abs(qBlue(actual) - qBlue(expected)) <= tolerance;
}

long tiffTag(const QString& path, std::uint32_t tag)
{
    TIFF* tiff = TIFFOpen(QFile::encodeName(path).constData(), "r");
    if (!tiff)
        return -1;
    uint16_t value = 0;
    const long result = TIFFGetField(tiff, tag, &value) ? value : -1;
    TIFFClose(tiff);
    return result;
}

TIFFLayout tiffLayout(const QString& path)
{
    TIFFLayout layout;
    TIFF* tiff = TIFFOpen(QFile::encodeName(path).constData(), "r");
    if (!tiff)
        return layout;
    uint16_t samples = 0, photometric = 0, count = 0;
    uint16_t* kinds = nullptr;
    TIFFGetField(tiff, TIFFTAG_SAMPLESPERPIXEL, &samples);
    TIFFGetField(tiff, TIFFTAG_PHOTOMETRIC, &photometric);
    if (TIFFGetField(tiff, TIFFTAG_EXTRASAMPLES, &count, &kinds))
        layout.extraSamples = count;
    layout.samples = samples;
    layout.photometric = photometric;
    TIFFClose(tiff);
    return layout;
}

} // namespace WritingTest
