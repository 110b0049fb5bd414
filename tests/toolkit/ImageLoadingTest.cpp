#include "ToolkitTestImages.h"

#include "toolkit/converter/ImageConverter.h"
#include "toolkit/helpers/BitmapRepresentation.h"
#include "toolkit/helpers/ImageTypeCodes.h"
#include "toolkit/imageio/ImageFileReader.h"
#include "toolkit/imageio/UprightImage.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

// exiv2 0.27 hands images out in std::auto_ptr, which the standard library keeps only as deprecated.
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <exiv2/exiv2.hpp>

using namespace ToolkitTestImages;

namespace {

class ImageLoading : public ::testing::Test {
protected:
    QString path(const QString& name) const { return m_folder.filePath(name); }
    QUrl url(const QString& name) const { return QUrl::fromLocalFile(path(name)); }

    // Loads the file into a converter and gives its first representation as a bitmap.
    std::shared_ptr<BitmapImageRep> loadBitmap(const QString& name, std::size_t expectedCount = 1)
    {
        ImageConverter converter;
        EXPECT_TRUE(converter.LoadSourceImage(url(name))) << name.toStdString();
        EXPECT_EQ(converter.m_representations.size(), expectedCount) << name.toStdString();
        return std::dynamic_pointer_cast<BitmapImageRep>(converter.m_currentRep);
    }

    QTemporaryDir m_folder;
    const QImage m_picture = quadrantImage(40, 20);
};

void expectQuadrants(const BitmapImageRep& bitmap)
{
    const QImage& image = bitmap.image();
    ASSERT_EQ(image.width(), 40);
    ASSERT_EQ(image.height(), 20);
    auto near = [](QRgb a, QRgb b) { return std::abs(qRed(a) - qRed(b)) < 40 && std::abs(qGreen(a) - qGreen(b)) < 40 && std::abs(qBlue(a) - qBlue(b)) < 40; };
    EXPECT_TRUE(near(pixelAt(image, 5, 5), qRgb(255, 0, 0)));
    EXPECT_TRUE(near(pixelAt(image, 35, 5), qRgb(0, 255, 0)));
    EXPECT_TRUE(near(pixelAt(image, 5, 15), qRgb(0, 0, 255)));
    EXPECT_TRUE(near(pixelAt(image, 35, 15), qRgb(255, 255, 255)));
}

// A 2 × 2 picture, red green over blue white, at 100 × 200 dpi, whose metadata says to show it
// turned by `orientation`.
std::shared_ptr<BitmapImageRep> turnedPicture(int orientation)
{
    QImage pixels(2, 2, QImage::Format_RGB32);
    pixels.setPixel(0, 0, qRgb(255, 0, 0));
    pixels.setPixel(1, 0, qRgb(0, 255, 0));
    pixels.setPixel(0, 1, qRgb(0, 0, 255));
    pixels.setPixel(1, 1, qRgb(255, 255, 255));
    BitmapImageRep::Description description;
    description.dpiX = 100;
    description.dpiY = 200;
    description.metadata.orientation = orientation;
    return std::make_shared<BitmapImageRep>(std::move(pixels), std::move(description));
}

QList<QRgb> shown(const BitmapImageRep& bitmap)
{
    return {bitmap.image().pixel(0, 0), bitmap.image().pixel(1, 0), bitmap.image().pixel(0, 1), bitmap.image().pixel(1, 1)};
}

} // namespace

TEST_F(ImageLoading, PNGPointSizeFollowsItsResolution)
{
    const QImage wide = quadrantImage(600, 300);
    ASSERT_TRUE(writePNG(path("at300.png"), wide, 300));
    ASSERT_TRUE(writePNG(path("at72.png"), wide, 72));
    ImageConverter converter;
    ASSERT_TRUE(converter.LoadSourceImage(url("at300.png")));
    EXPECT_NEAR(converter.PointWidth(), 144, 0.1);
    EXPECT_NEAR(converter.PointHeight(), 72, 0.1);
    EXPECT_NEAR(converter.SourceDPIX(), 300, 0.1);
    EXPECT_NEAR(converter.SourceDPIY(), 300, 0.1);
    EXPECT_EQ(converter.PixelWidth(), 600);
    EXPECT_FALSE(converter.SourceHasAlpha());
    EXPECT_EQ(converter.SourceImageType(), 7U);
    EXPECT_EQ(converter.SourceImageTypeFromData(), 7U);

    ImageConverter plain;
    ASSERT_TRUE(plain.LoadSourceImage(url("at72.png")));
    EXPECT_NEAR(plain.PointWidth(), 600, 0.5);
    EXPECT_NEAR(plain.SourceDPIX(), 72, 0.1);
}

TEST_F(ImageLoading, PNGWithoutResolutionIs72AndAlphaIsKept)
{
    QImage withAlpha(10, 10, QImage::Format_ARGB32);
    withAlpha.fill(qRgba(10, 20, 30, 128));
    ASSERT_TRUE(withAlpha.save(path("alpha.png"), "PNG"));
    // Qt writes a resolution when it saves; a file without one is made by dropping its pHYs chunk.
    QByteArray bytes = readBytes(path("alpha.png"));
    const qsizetype chunk = bytes.indexOf("pHYs");
    if (chunk > 4)
        bytes.remove(chunk - 4, 4 + 4 + 9 + 4);
    ASSERT_TRUE(writeBytes(path("alpha.png"), bytes));
    const auto bitmap = loadBitmap("alpha.png");
    ASSERT_TRUE(bitmap);
    EXPECT_TRUE(bitmap->hasAlpha());
    EXPECT_DOUBLE_EQ(bitmap->dpiX(), 72);
    EXPECT_DOUBLE_EQ(bitmap->size().width(), 10);
}

TEST_F(ImageLoading, ThreePageTIFFGivesThreeRepresentations)
{
    ASSERT_TRUE(writeTIFF(path("pages.tif"), {m_picture, quadrantImage(20, 10), quadrantImage(10, 6)}, 144));
    ImageConverter converter;
    ASSERT_TRUE(converter.LoadSourceImage(url("pages.tif")));
    ASSERT_EQ(converter.m_representations.size(), 3U);
    EXPECT_EQ(converter.m_image->representations().size(), 3U);
    EXPECT_EQ(converter.m_representations[1]->pixelsWide(), 20);
    EXPECT_EQ(converter.m_representations[2]->pixelsHigh(), 6);
    EXPECT_DOUBLE_EQ(converter.PointWidth(), 20);
    const auto first = std::dynamic_pointer_cast<BitmapImageRep>(converter.m_currentRep);
    ASSERT_TRUE(first);
    expectQuadrants(*first);
    EXPECT_EQ(first->colorSpace(), ColorSpaceModel::RGB);
}

TEST_F(ImageLoading, CMYKAndGreyTIFFPages)
{
    ASSERT_TRUE(writeCMYKTIFF(path("cmyk.tif"), m_picture));
    const auto cmyk = loadBitmap("cmyk.tif");
    ASSERT_TRUE(cmyk);
    EXPECT_EQ(cmyk->colorSpace(), ColorSpaceModel::CMYK);
    ASSERT_EQ(cmyk->cmykSamples().size(), 40 * 20 * 4);
    EXPECT_EQ(static_cast<uchar>(cmyk->cmykSamples()[1]), 255); // red: full magenta
    expectQuadrants(*cmyk);

    ASSERT_TRUE(writeTIFF(path("grey.tif"), {m_picture.convertToFormat(QImage::Format_Grayscale8)}, 72));
    const auto grey = loadBitmap("grey.tif");
    ASSERT_TRUE(grey);
    EXPECT_EQ(grey->colorSpace(), ColorSpaceModel::RGB); // the writer stores three samples
    QImage alpha(10, 10, QImage::Format_ARGB32);
    alpha.fill(qRgba(0, 0, 255, 100));
    ASSERT_TRUE(alpha.save(path("alpha.tif"), "TIFF"));
    const auto withAlpha = loadBitmap("alpha.tif");
    ASSERT_TRUE(withAlpha);
    EXPECT_TRUE(withAlpha->hasAlpha());
    EXPECT_EQ(qAlpha(withAlpha->image().pixel(5, 5)), 100);
}

TEST_F(ImageLoading, JPEGInRGBAndCMYK)
{
    ASSERT_TRUE(writeJPEG(path("rgb.jpg"), m_picture, 200, false));
    ASSERT_TRUE(writeJPEG(path("cmyk.jpg"), m_picture, 72, true));
    const auto rgb = loadBitmap("rgb.jpg");
    ASSERT_TRUE(rgb);
    expectQuadrants(*rgb);
    EXPECT_DOUBLE_EQ(rgb->dpiX(), 200);
    EXPECT_EQ(rgb->colorSpace(), ColorSpaceModel::RGB);
    const auto cmyk = loadBitmap("cmyk.jpg");
    ASSERT_TRUE(cmyk);
    EXPECT_EQ(cmyk->colorSpace(), ColorSpaceModel::CMYK);
    EXPECT_EQ(cmyk->cmykSamples().size(), 40 * 20 * 4);
    expectQuadrants(*cmyk);
}

TEST_F(ImageLoading, JPEGMetadataDictionaries)
{
    ASSERT_TRUE(writeJPEG(path("exif.jpg"), m_picture, 72, false));
    {
        auto image = Exiv2::ImageFactory::open(path("exif.jpg").toStdString());
        Exiv2::ExifData exif;
        exif["Exif.Image.Orientation"] = uint16_t(6);
        exif["Exif.Photo.UserComment"] = "charset=Ascii hello";
        exif["Exif.GPSInfo.GPSLatitudeRef"] = "N";
        image->setExifData(exif);
        image->writeMetadata();
    }
    const auto bitmap = loadBitmap("exif.jpg");
    ASSERT_TRUE(bitmap);
    // Orientation 6 is read and the picture turned by it: upright from here on.
    EXPECT_EQ(bitmap->metadata().orientation, 1);
    EXPECT_EQ(bitmap->image().size(), m_picture.size().transposed());
    EXPECT_TRUE(bitmap->metadata().dictionaries.contains(QStringLiteral("{Exif}")));
    EXPECT_EQ(bitmap->metadata().dictionaries.value(QStringLiteral("{GPS}")).value(QStringLiteral("GPSLatitudeRef")).toString(), QStringLiteral("N"));
}

TEST_F(ImageLoading, FramesSizesAndTheSmallFormats)
{
    ASSERT_TRUE(writeGIF(path("frames.gif"), {m_picture, m_picture.mirrored(true, false)}));
    ASSERT_TRUE(writeICO(path("sizes.ico"), {quadrantImage(16, 16), quadrantImage(32, 32)}));
    ASSERT_TRUE(writeTGA(path("a.tga"), m_picture));
    ASSERT_TRUE(writeTGA(path("packed.tga"), m_picture, true));
    ASSERT_TRUE(m_picture.save(path("a.bmp"), "BMP"));
    ASSERT_TRUE(m_picture.save(path("a.xbm"), "XBM"));
    ASSERT_TRUE(m_picture.save(path("a.icns"), "ICNS"));
    ASSERT_TRUE(writeJP2(path("a.jp2"), m_picture));
    ASSERT_TRUE(writeEXR(path("a.exr"), m_picture));
    ASSERT_TRUE(writeSGI(path("plain.sgi"), m_picture, false));
    ASSERT_TRUE(writeSGI(path("packed.sgi"), m_picture, true));
    ASSERT_TRUE(writePhotoshop(path("a.psd"), m_picture, 144));
    ASSERT_TRUE(writeMacPaint(path("a.pntg"), m_picture));

    const auto gif = loadBitmap("frames.gif", 2);
    ASSERT_TRUE(gif);
    expectQuadrants(*gif);
    EXPECT_EQ(gif->colorSpace(), ColorSpaceModel::Indexed);
    loadBitmap("sizes.ico", 2);
    for (const char* name : {"a.tga", "packed.tga", "a.bmp", "a.jp2", "a.exr", "plain.sgi", "packed.sgi", "a.psd"}) {
        const auto bitmap = loadBitmap(QString::fromLatin1(name));
        ASSERT_TRUE(bitmap) << name;
        SCOPED_TRACE(name);
        expectQuadrants(*bitmap);
    }
    const auto psd = loadBitmap("a.psd");
    ASSERT_TRUE(psd);
    EXPECT_DOUBLE_EQ(psd->size().width(), 20);
    const auto xbm = loadBitmap("a.xbm");
    ASSERT_TRUE(xbm);
    EXPECT_EQ(xbm->pixelsWide(), 40);
    const auto icns = loadBitmap("a.icns");
    ASSERT_TRUE(icns);
    const auto macPaint = loadBitmap("a.pntg");
    ASSERT_TRUE(macPaint);
    EXPECT_EQ(macPaint->pixelsWide(), 576);
    EXPECT_EQ(macPaint->pixelsHigh(), 720);
    EXPECT_EQ(qGray(pixelAt(macPaint->image(), 5, 15)), 0);      // blue is dark: black
    EXPECT_EQ(qGray(pixelAt(macPaint->image(), 300, 300)), 255); // outside the picture: white
}

TEST_F(ImageLoading, CameraRawIsDeveloped)
{
    ASSERT_TRUE(writeDNG(path("a.dng"), 64, 48));
    EXPECT_EQ(TypeIdentifierOfURL(url("a.dng")), QStringLiteral("public.camera-raw-image"));
    const auto bitmap = loadBitmap("a.dng");
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(bitmap->pixelsWide(), 64);
    EXPECT_EQ(bitmap->pixelsHigh(), 48);
    const QRgb left = pixelAt(bitmap->image(), 10, 24);
    const QRgb right = pixelAt(bitmap->image(), 54, 24);
    EXPECT_GT(qRed(left), qGreen(left) + 100);
    EXPECT_GT(qGreen(right), qRed(right) + 100);
}

TEST_F(ImageLoading, RawFaxFilesInEitherBitOrder)
{
    const QImage page = quadrantImage(1728, 120);
    ASSERT_TRUE(writeFax(path("msb.g3"), page, false));
    ASSERT_TRUE(writeFax(path("lsb.g3"), page, true));
    for (const char* name : {"msb.g3", "lsb.g3"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(TypeIdentifierOfURL(url(QString::fromLatin1(name))), QStringLiteral("public.fax"));
        const auto fax = loadBitmap(QString::fromLatin1(name));
        ASSERT_TRUE(fax);
        EXPECT_EQ(fax->pixelsWide(), 1728);
        EXPECT_EQ(fax->pixelsHigh(), 120);
        EXPECT_EQ(fax->colorSpace(), ColorSpaceModel::Grey);
        EXPECT_DOUBLE_EQ(fax->dpiX(), 204);
        EXPECT_DOUBLE_EQ(fax->dpiY(), 98);
        // Red, green and blue are dark enough to be black; white stays white.
        EXPECT_EQ(qGray(pixelAt(fax->image(), 100, 10)), 0);
        EXPECT_EQ(qGray(pixelAt(fax->image(), 1500, 10)), 0);
        EXPECT_EQ(qGray(pixelAt(fax->image(), 100, 100)), 0);
        EXPECT_EQ(qGray(pixelAt(fax->image(), 1500, 100)), 255);
    }
}

TEST_F(ImageLoading, PDFSourcesAsRepresentations)
{
    ASSERT_TRUE(writePDF(path("two.pdf"), 2));
    ImageConverter converter;
    ASSERT_TRUE(converter.LoadPDFImageRep(url("two.pdf")));
    ASSERT_TRUE(converter.m_pdfImageRep);
    EXPECT_EQ(converter.m_pdfImageRep->pageCount(), 2);
    EXPECT_NEAR(converter.m_pdfImageRep->size().width(), 200, 0.5);
    EXPECT_NEAR(converter.m_pdfImageRep->size().height(), 100, 0.5);
    EXPECT_EQ(converter.m_sourceURL, url("two.pdf"));

    const auto image = Image::fromURL(url("two.pdf"));
    const auto bitmap = GetBitmapRepresentation(*image);
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(bitmap->pixelsWide(), 200);
    EXPECT_EQ(qRed(pixelAt(bitmap->image(), 20, 50)), 255);
    EXPECT_EQ(qGreen(pixelAt(bitmap->image(), 20, 50)), 0);
    EXPECT_EQ(qGreen(pixelAt(bitmap->image(), 180, 50)), 255);

    ImageConverter notPDF;
    ASSERT_TRUE(writeBytes(path("fake.pdf"), "%PDF-1.4 nothing else"));
    EXPECT_FALSE(notPDF.LoadPDFImageRep(url("fake.pdf")));
    EXPECT_FALSE(notPDF.LoadPDFImageRep(url("missing.pdf")));
}

TEST_F(ImageLoading, UnreadableAndRefusedFiles)
{
    ImageConverter missing;
    EXPECT_FALSE(missing.LoadSourceImage(url("missing.png")));
    ASSERT_TRUE(writeBytes(path("text.png"), "not a picture"));
    ImageConverter text;
    EXPECT_FALSE(text.LoadSourceImage(url("text.png")));
    // Formats this system does not read on Linux are refused, whatever their bytes.
    for (const char* name : {"a.pict", "a.fpx", "a.ai", "a.qtif"}) {
        ASSERT_TRUE(writeBytes(path(QString::fromLatin1(name)), QByteArray(600, '\x01')));
        ImageConverter refused;
        EXPECT_FALSE(refused.LoadSourceImage(url(QString::fromLatin1(name)))) << name;
    }
}

TEST_F(ImageLoading, DeclaredSizesPastTheLimitAreRefused)
{
    // A PNG header claiming 100000 × 100000 pixels, its CRC right.
    QByteArray header;
    header.append("\x89PNG\r\n\x1a\n", 8);
    const QByteArray ihdr = QByteArray::fromHex("0000000d49484452000186a0000186a00806000000");
    header.append(ihdr);
    const QByteArray crcInput = ihdr.mid(4);
    const quint32 crc = ~[&] {
        quint32 c = 0xFFFFFFFFU;
        for (char byte : crcInput) {
            c ^= static_cast<quint8>(byte);
            for (int k = 0; k < 8; ++k)
                c = (c >> 1) ^ (0xEDB88320U & (0U - (c & 1U)));
        }
        return c;
    }();
    for (int shift = 24; shift >= 0; shift -= 8)
        header.append(static_cast<char>((crc >> shift) & 0xFF));
    header.append(QByteArray::fromHex("0000000049454e44ae426082"));
    EXPECT_TRUE(ReadImageData(header, ImageType::PNG).empty());

    // An SGI header claiming 65535 × 65535 × 4 samples.
    QByteArray sgi = QByteArray::fromHex("01da01010003ffffffff0004");
    sgi.append(QByteArray(600, '\0'));
    EXPECT_TRUE(ReadImageData(sgi, ImageType::SGI).empty());

    // A Photoshop header claiming 300000 × 300000 RGB pixels.
    QByteArray psd = QByteArray::fromHex("3842505300010000000000000003000493e0000493e000080003");
    psd.append(QByteArray(64, '\0'));
    EXPECT_TRUE(ReadImageData(psd, ImageType::Photoshop).empty());

    // A JPEG whose frame header claims 65000 × 65000 pixels.
    ASSERT_TRUE(writeJPEG(path("small.jpg"), m_picture, 72, false));
    QByteArray jpeg = readBytes(path("small.jpg"));
    const qsizetype frame = jpeg.indexOf(QByteArray::fromHex("ffc0"));
    ASSERT_GT(frame, 0);
    jpeg.replace(frame + 5, 4, QByteArray::fromHex("fde8fde8"));
    EXPECT_TRUE(ReadImageData(jpeg, ImageType::JPEG).empty());

    // A TIFF whose page claims 100000000 × 20 pixels.
    ASSERT_TRUE(writeTIFF(path("small.tif"), {m_picture}, 72));
    QByteArray tiff = readBytes(path("small.tif"));
    const QByteArray widthTag = QByteArray::fromHex("000103000100000028000000");
    const qsizetype width = tiff.indexOf(widthTag);
    ASSERT_GT(width, 0);
    tiff.replace(width, 12, QByteArray::fromHex("0001040001000000") + QByteArray::fromHex("00e1f505"));
    EXPECT_TRUE(ReadImageData(tiff, ImageType::TIFF).empty());
}

TEST(ImageConverterSettings, DefaultsSettersAndStampCopies)
{
    ImageConverter converter;
    EXPECT_EQ(converter.m_succeeded, 1);
    EXPECT_EQ(converter.m_outputType, 0U);
    EXPECT_DOUBLE_EQ(converter.SourceDPIX(), 72);
    EXPECT_DOUBLE_EQ(converter.PixelWidth(), 0);
    EXPECT_EQ(converter.PointSize(), QSizeF(0, 0));
    EXPECT_FALSE(converter.SourceHasAlpha());
    EXPECT_FALSE(converter.BitmapRepresentation());

    converter.SetResolution(150, 300);
    EXPECT_DOUBLE_EQ(converter.m_dpiY, 150);
    EXPECT_DOUBLE_EQ(converter.m_dpiX, 300);
    converter.SetOrientationFromAngle(90);
    EXPECT_EQ(converter.m_orientation, 6U);
    converter.SetOrientationFromAngle(45);
    EXPECT_EQ(converter.m_orientation, 6U);
    const std::pair<int, unsigned> angles[] = {{0, 1U}, {360, 1U}, {-270, 6U}, {180, 3U}, {-180, 3U}, {270, 8U}, {-90, 8U}};
    for (const auto& [angle, orientation] : angles) {
        converter.SetOrientationFromAngle(angle);
        EXPECT_EQ(converter.m_orientation, orientation) << angle;
    }

    StampOptions stamp;
    stamp.text = QStringLiteral("Draft");
    stamp.referenceWidth = 550;
    stamp.referenceHeight = 400;
    stamp.overlayX = 12;
    stamp.overlayAlpha = 0.5;
    ImageConverter overlayOnly;
    overlayOnly.SetStampOptions(stamp, false);
    EXPECT_EQ(overlayOnly.m_hasOverlay, 1);
    EXPECT_EQ(overlayOnly.m_hasTextStamp, 0);
    EXPECT_DOUBLE_EQ(overlayOnly.m_overlayX, 12);
    EXPECT_DOUBLE_EQ(overlayOnly.m_textStamp.referenceHeight, 400);
    EXPECT_TRUE(overlayOnly.m_textStamp.text.isEmpty());
    overlayOnly.SetStampOptions(stamp, true);
    EXPECT_EQ(overlayOnly.m_hasTextStamp, 1);
    EXPECT_EQ(overlayOnly.m_textStamp.text, QStringLiteral("Draft"));
}

TEST(ImageConverterSettings, SourceDPIOfA600PixelRepresentation144PointsWide)
{
    QImage pixels(600, 300, QImage::Format_RGB32);
    BitmapImageRep::Description description;
    auto bitmap = std::make_shared<BitmapImageRep>(pixels, description);
    bitmap->setSize(QSizeF(144, 72));
    ImageConverter converter;
    converter.m_currentRep = bitmap;
    EXPECT_DOUBLE_EQ(converter.SourceDPIX(), 300);
    EXPECT_DOUBLE_EQ(converter.SourceDPIY(), 300);
}

TEST_F(ImageLoading, ContentDecidesTheFormatAndTheNameOnlyBreaksTies)
{
    // A PNG named as a JPEG, and a JPEG named as a PNG, load as what they are.
    ASSERT_TRUE(writePNG(path("really-png.jpg"), m_picture, 72));
    ASSERT_TRUE(writeJPEG(path("really-jpeg.png"), m_picture, 72, false));
    for (const char* name : {"really-png.jpg", "really-jpeg.png"}) {
        const auto bitmap = loadBitmap(QString::fromLatin1(name));
        ASSERT_TRUE(bitmap) << name;
        expectQuadrants(*bitmap);
    }
    // Formats without a signature are still known by their names.
    ASSERT_TRUE(writeTGA(path("plain.tga"), m_picture));
    const auto tga = loadBitmap(QStringLiteral("plain.tga"));
    ASSERT_TRUE(tga);
    expectQuadrants(*tga);
}

TEST(UprightBitmap, TurnsAcrossEitherDiagonalAndSwapsTheResolutionsOfASidewaysPicture)
{
    const QRgb red = qRgb(255, 0, 0);
    const QRgb green = qRgb(0, 255, 0);
    const QRgb blue = qRgb(0, 0, 255);
    const QRgb white = qRgb(255, 255, 255);
    const auto transposed = UprightBitmap(turnedPicture(5));
    ASSERT_TRUE(transposed);
    EXPECT_EQ(shown(*transposed), (QList<QRgb>{red, blue, green, white}));
    const auto transversed = UprightBitmap(turnedPicture(7));
    ASSERT_TRUE(transversed);
    EXPECT_EQ(shown(*transversed), (QList<QRgb>{white, green, blue, red}));
    for (const auto& upright : {transposed, transversed, UprightBitmap(turnedPicture(6))}) {
        EXPECT_EQ(upright->metadata().orientation, 1);
        EXPECT_DOUBLE_EQ(upright->dpiX(), 200);
        EXPECT_DOUBLE_EQ(upright->dpiY(), 100);
    }
    const auto halfTurn = UprightBitmap(turnedPicture(3));
    EXPECT_EQ(shown(*halfTurn), (QList<QRgb>{white, blue, green, red}));
    EXPECT_DOUBLE_EQ(halfTurn->dpiX(), 100);
}
