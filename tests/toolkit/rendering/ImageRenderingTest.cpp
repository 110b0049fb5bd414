#include "toolkit/ToolkitTestImages.h"
#include "toolkit/writing/WritingTestSupport.h"

#include "toolkit/codec/JPEGCodec.h"
#include "toolkit/converter/ImageConverter.h"
#include "toolkit/converter/LuminanceSharpen.h"
#include "toolkit/helpers/ImageTypeCodes.h"
#include "toolkit/imagewriter/CMYKConversion.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <vector>

#include <tiffio.h>

using namespace ToolkitTestImages;
using namespace WritingTest;

namespace {

class ImageRendering : public ::testing::Test {
protected:
    QString path(const QString& name) const { return m_folder.filePath(name); }
    QUrl url(const QString& name) const { return QUrl::fromLocalFile(path(name)); }

    // A picture whose left half is opaque red and right half fully transparent.
    static QImage halfTransparent(int width, int height)
    {
        QImage image(width, height, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width / 2; ++x)
                image.setPixel(x, y, qRgba(255, 0, 0, 255));
        return image;
    }

    QTemporaryDir m_folder;
};

} // namespace

TEST_F(ImageRendering, TransparentPictureToCMYK)
{
    ASSERT_TRUE(halfTransparent(40, 20).save(path("alpha.png")));
    {
        // CMYK JPEG holds no alpha: the picture goes out in RGB, the transparent half white.
        ImageConverter converter;
        ASSERT_TRUE(converter.LoadSourceImage(url("alpha.png")));
        converter.SetOutputInfo(ImageType::JPEG, url("alpha.jpg"), 0.9);
        converter.SetColorModel(2);
        ASSERT_TRUE(converter.ConvertWithSize(pixelBox(40, 20)));
        const QByteArray jpeg = readBytes(path("alpha.jpg"));
        uint32_t components = 0, width = 0, height = 0;
        double dpiX = 0, dpiY = 0;
        CodecBuffer decoded;
        ASSERT_EQ(DecodeJPEGFromMemory(reinterpret_cast<const uint8_t*>(jpeg.constData()), static_cast<uint64_t>(jpeg.size()),
                                       &components, &decoded, &width, &height, &dpiX, &dpiY),
                  0);
        EXPECT_EQ(components, kJPEGComponentsRGB);
        const auto back = readBack(path("alpha.jpg"));
        ASSERT_TRUE(back);
        EXPECT_TRUE(near(pixelAt(back->image(), 5, 10), qRgb(255, 0, 0), 24));
        EXPECT_TRUE(near(pixelAt(back->image(), 35, 10), qRgb(255, 255, 255), 8));
    }
    {
        // Type 13 keeps CMYK and the alpha as a mask.
        ImageConverter converter;
        ASSERT_TRUE(converter.LoadSourceImage(url("alpha.png")));
        converter.SetOutputInfo(ImageType::CMYKTIFF, url("alpha.tif"), 0.9);
        ASSERT_TRUE(converter.ConvertWithSize(pixelBox(40, 20)));
        const TIFFLayout layout = tiffLayout(path("alpha.tif"));
        EXPECT_EQ(layout.photometric, PHOTOMETRIC_SEPARATED);
        EXPECT_EQ(layout.samples, 5);
        EXPECT_EQ(layout.extraSamples, 1);
        EXPECT_EQ(tiffTag(path("alpha.tif"), TIFFTAG_COMPRESSION), COMPRESSION_LZW);
        // Red on press (magenta and yellow, no cyan) where opaque; the mask clear where transparent.
        TIFF* tiff = TIFFOpen(QFile::encodeName(path("alpha.tif")).constData(), "r");
        ASSERT_TRUE(tiff);
        std::vector<uchar> row(static_cast<size_t>(TIFFScanlineSize(tiff)));
        ASSERT_EQ(row.size(), 40U * 5);
        for (uint32_t line = 0; line <= 10; ++line) // LZW strips are read in order
            ASSERT_EQ(TIFFReadScanline(tiff, row.data(), line, 0), 1);
        TIFFClose(tiff);
        const uchar* ink = row.data() + 5 * 5;
        EXPECT_LT(ink[0], 40);
        EXPECT_GT(ink[1], 180);
        EXPECT_GT(ink[2], 180);
        EXPECT_EQ(ink[4], 255);
        EXPECT_EQ(row[35 * 5 + 4], 0);
    }
}

TEST_F(ImageRendering, CMYKWithoutAProfileUsesTheFormula)
{
    QImage colours(2, 1, QImage::Format_RGB32);
    colours.setPixel(0, 0, qRgb(255, 0, 0));
    colours.setPixel(1, 0, qRgb(0, 0, 0));
    const QByteArray inks = RGBImageToCMYK(colours, "/nonexistent/profile.icc");
    ASSERT_EQ(inks.size(), 8);
    EXPECT_EQ(QByteArray(inks.constData(), 4), QByteArray("\x00\xFF\xFF\x00", 4));
    EXPECT_EQ(static_cast<uchar>(inks[7]), 255);
}

TEST_F(ImageRendering, FitBoxGivesThePrintResolution)
{
    ASSERT_TRUE(writePNG(path("page.png"), quadrantImage(2550, 3300), 72));
    ImageConverter converter;
    ASSERT_TRUE(converter.LoadSourceImage(url("page.png")));
    converter.SetOutputInfo(ImageType::TIFF, url("page.tif"), 0.8);
    converter.m_fitWidth = 612;
    converter.m_fitHeight = 792;
    ASSERT_TRUE(converter.ConvertWithSize(pixelBox(2550, 3300)));
    EXPECT_DOUBLE_EQ(converter.m_dpiX, 300.0);
    const auto back = readBack(path("page.tif"));
    ASSERT_TRUE(back);
    EXPECT_NEAR(back->dpiX(), 300, 0.01);
    EXPECT_NEAR(back->dpiY(), 300, 0.01);
}

TEST_F(ImageRendering, LargeReductionsAverageTheirArea)
{
    // One-pixel black and white stripes average to grey; sampling would give black or white.
    QImage stripes(1000, 1000, QImage::Format_RGB32);
    for (int y = 0; y < 1000; ++y)
        for (int x = 0; x < 1000; ++x)
            stripes.setPixel(x, y, (x % 2) ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
    ASSERT_TRUE(stripes.save(path("stripes.png")));
    ImageConverter converter;
    ASSERT_TRUE(converter.LoadSourceImage(url("stripes.png")));
    converter.SetOutputInfo(ImageType::PNG, url("small.png"), 0.8);
    ASSERT_TRUE(converter.ConvertWithSize(pixelBox(97, 97)));
    const auto back = readBack(path("small.png"));
    ASSERT_TRUE(back);
    for (const QPoint point : {QPoint(3, 3), QPoint(50, 50), QPoint(90, 20)})
        EXPECT_TRUE(near(pixelAt(back->image(), point.x(), point.y()), qRgb(128, 128, 128), 20)) << point.x();
}

TEST_F(ImageRendering, GreyModelAndSharpening)
{
    ASSERT_TRUE(writePNG(path("colour.png"), quadrantImage(64, 64), 72));
    ImageConverter converter;
    ASSERT_TRUE(converter.LoadSourceImage(url("colour.png")));
    converter.SetOutputInfo(ImageType::PNG, url("grey.png"), 0.8);
    converter.SetColorModel(3);
    ImageSizeOptions size = pixelBox(64, 64);
    size.sharpen = 1;
    ASSERT_TRUE(converter.ConvertWithSize(size));
    const auto back = readBack(path("grey.png"));
    ASSERT_TRUE(back);
    EXPECT_TRUE(back->image().isGrayscale());
    EXPECT_TRUE(near(pixelAt(back->image(), 48, 48), qRgb(255, 255, 255), 1));
}

TEST(LuminanceSharpen, RaisesEdgesAndLeavesFlatAreasAndHue)
{
    QImage edge(40, 10, QImage::Format_RGB32);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 40; ++x)
            edge.setPixel(x, y, x < 20 ? qRgb(100, 60, 60) : qRgb(180, 140, 140));
    QImage sharpened = edge;
    SharpenLuminance(sharpened);
    // Far from the edge nothing moves.
    EXPECT_EQ(sharpened.pixel(2, 5), edge.pixel(2, 5));
    EXPECT_EQ(sharpened.pixel(37, 5), edge.pixel(37, 5));
    // Beside it the dark side darkens and the light side lightens, by about a tenth of the step.
    const int darker = qRed(edge.pixel(19, 5)) - qRed(sharpened.pixel(19, 5));
    const int lighter = qRed(sharpened.pixel(20, 5)) - qRed(edge.pixel(20, 5));
    EXPECT_GT(darker, 3);
    EXPECT_LT(darker, 16);
    EXPECT_GT(lighter, 3);
    EXPECT_LT(lighter, 16);
    // The change is the same on every channel: only the luminance moves.
    const QRgb moved = sharpened.pixel(19, 5);
    EXPECT_EQ(qRed(moved) - qGreen(moved), 40);
}

TEST_F(ImageRendering, CMYKDrawnOneToOneKeepsItsInks)
{
    ASSERT_TRUE(writeCMYKTIFF(path("inks.tif"), quadrantImage(40, 20)));
    ImageConverter source;
    ASSERT_TRUE(source.LoadSourceImage(url("inks.tif")));
    const auto original = std::dynamic_pointer_cast<BitmapImageRep>(source.m_currentRep);
    ASSERT_TRUE(original);
    ASSERT_EQ(original->cmykSamples().size(), 40 * 20 * 4);

    ImageConverter converter;
    ASSERT_TRUE(converter.LoadSourceImage(url("inks.tif")));
    converter.SetOutputInfo(ImageType::CMYKTIFF, url("same.tif"), 0.9);
    ASSERT_TRUE(converter.ConvertWithSize(pixelBox(40, 20)));
    const auto back = readBack(path("same.tif"));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->cmykSamples(), original->cmykSamples());

    // Turned, the inks are made again from the drawing: still CMYK, colours near.
    ImageConverter turned;
    ASSERT_TRUE(turned.LoadSourceImage(url("inks.tif")));
    turned.SetOutputInfo(ImageType::CMYKTIFF, url("turned.tif"), 0.9);
    turned.m_rotation = 180;
    ASSERT_TRUE(turned.ConvertWithSize(pixelBox(40, 20)));
    const auto half = readBack(path("turned.tif"));
    ASSERT_TRUE(half);
    EXPECT_EQ(half->cmykSamples().size(), 40 * 20 * 4);
    EXPECT_TRUE(near(pixelAt(half->image(), 35, 15), pixelAt(original->image(), 4, 4), 60));
}

TEST_F(ImageRendering, SixteenBitPicturesStaySixteenBitInPNG)
{
    QImage deep(40, 20, QImage::Format_RGBX64);
    deep.fill(QColor::fromRgba64(qRgba64(0x1234, 0x8000, 0xFFFF, 0xFFFF)));
    ASSERT_TRUE(deep.save(path("deep.png")));
    ImageConverter converter;
    ASSERT_TRUE(converter.LoadSourceImage(url("deep.png")));
    converter.SetOutputInfo(ImageType::PNG, url("half.png"), 0.9);
    ASSERT_TRUE(converter.ConvertWithSize(pixelBox(20, 10)));
    const auto back = readBack(path("half.png"));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->image().size(), QSize(20, 10));
    EXPECT_EQ(back->bitsPerComponent(), 16);
    EXPECT_NEAR(back->image().pixelColor(10, 5).rgba64().red(), 0x1234, 0x20);
}

TEST_F(ImageRendering, OverlayIsPlacedFromTheLowerLeft)
{
    QImage white(550, 550, QImage::Format_RGB32);
    white.fill(Qt::white);
    ASSERT_TRUE(white.save(path("white.png")));
    QImage red(50, 50, QImage::Format_RGB32);
    red.fill(qRgb(255, 0, 0));
    StampOptions stamp;
    stamp.overlayImage = Image::fromBitmap(std::make_shared<BitmapImageRep>(red, BitmapImageRep::Description{}));
    stamp.overlayRight = stamp.overlayTop = 50;
    stamp.overlayAlpha = 1.0;
    stamp.overlayScale = 1.0;
    stamp.referenceWidth = stamp.referenceHeight = 550;
    ImageConverter converter;
    ASSERT_TRUE(converter.LoadSourceImage(url("white.png")));
    converter.SetOutputInfo(ImageType::PNG, url("stamped.png"), 0.9);
    converter.SetStampOptions(stamp, false);
    ASSERT_TRUE(converter.ConvertWithSize(pixelBox(550, 550)));
    const auto back = readBack(path("stamped.png"));
    ASSERT_TRUE(back);
    EXPECT_TRUE(near(pixelAt(back->image(), 10, 540), qRgb(255, 0, 0), 2));
    EXPECT_TRUE(near(pixelAt(back->image(), 10, 490), qRgb(255, 255, 255), 2));
    EXPECT_TRUE(near(pixelAt(back->image(), 500, 10), qRgb(255, 255, 255), 2));
}
