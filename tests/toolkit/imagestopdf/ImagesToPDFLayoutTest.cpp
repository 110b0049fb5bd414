#include "toolkit/ToolkitTestImages.h"
#include "toolkit/imagestopdf/PDFPageProbe.h"

#include "platform/PdfDocument.h"
#include "toolkit/helpers/ImageTypeCodes.h"
#include "toolkit/imagestopdf/EncodedImageHeader.h"
#include "toolkit/imagestopdf/ImageToPDFConverter.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cmath>
#include <utility>
#include <vector>

using namespace ToolkitTestImages;
using PDFPageProbe::Page;

namespace {

constexpr double kTolerance = 0.01;

void ExpectRect(const QRectF& actual, const QRectF& expected)
{
    EXPECT_NEAR(actual.left(), expected.left(), kTolerance) << "left";
    EXPECT_NEAR(actual.top(), expected.top(), kTolerance) << "bottom";
    EXPECT_NEAR(actual.width(), expected.width(), kTolerance) << "width";
    EXPECT_NEAR(actual.height(), expected.height(), kTolerance) << "height";
}

// The first page drawn by pdftoppm at 72 dpi; a null image when the tool is missing.
QImage Rendered(const QString& pdf)
{
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
    if (tool.isEmpty() || QProcess::execute(tool, {"-r", "72", "-f", "1", "-l", "1", "-png", "-singlefile", pdf, pdf}) != 0)
        return {};
    return QImage(pdf + ".png");
}

bool Near(QRgb actual, QRgb expected)
{
    return std::abs(qRed(actual) - qRed(expected)) < 40 && std::abs(qGreen(actual) - qGreen(expected)) < 40
           && std::abs(qBlue(actual) - qBlue(expected)) < 40;
}

class ImagesToPDFLayout : public ::testing::Test {
protected:
    QString path(const QString& name) const { return m_folder.filePath(name); }
    QUrl url(const QString& name) const { return QUrl::fromLocalFile(path(name)); }

    // The pages one file makes, written to a PDF and read back (and checked by qpdf).
    QList<Page> pagesFor(const QString& source, const QVariant& angle = {})
    {
        const std::unique_ptr<PdfDocument> document = PdfDocument::create();
        long long index = 0;
        const bool added = converter.AddImageFileToDocument(url(source), *document, index, angle);
        EXPECT_EQ(index, document->pageCount());
        if (!added)
            return {};
        const QString out = path(source + ".pdf");
        EXPECT_TRUE(document->write(out));
        EXPECT_TRUE(PDFPageProbe::qpdfCheck(out));
        return PDFPageProbe::pagesOf(out);
    }

    // What a converter of its own encodes for the file at 100 percent: the bytes a page must embed.
    QByteArray encodedAlone(const QString& source, std::uint32_t type, double quality)
    {
        ImageConverter alone;
        EXPECT_TRUE(alone.LoadSourceImage(url(source)));
        alone.SetOutputInfo(type, QUrl(), quality);
        alone.m_keepEncodedData = 1;
        alone.SetOrientationFromAngle(0);
        ImageSizeOptions size;
        size.keepAspectRatio = size.resize = 1;
        size.unit = 1;
        size.width = 100;
        EXPECT_TRUE(alone.ConvertWithSize(size));
        return alone.m_encodedData;
    }

    void layOutOnLetter(std::uint64_t orientation = 0)
    {
        converter.SetConversionParameters(orientation, 0, 0, ImageType::JPEG, 0, 1, 100, 0, {}, 612, 792, 36, 36, 36, 36,
                                          0.8);
    }

    void SetUp() override
    {
        converter.SetConversionParameters(0, 0, 0, ImageType::JPEG, 0, 0, 100, 0, {}, 612, 792, 36, 36, 36, 36, 0.8);
        ASSERT_TRUE(writeJPEG(path("portrait.jpg"), quadrantImage(60, 90), 144, false));
        ASSERT_TRUE(writeJPEG(path("landscape.jpg"), quadrantImage(100, 50), 72, false));
    }

    ImageToPDFConverter converter;
    QTemporaryDir m_folder;
};

} // namespace

TEST_F(ImagesToPDFLayout, WithoutLayoutThePageIsTheImageAndHoldsItsEncodedBytes)
{
    // Margins, paper and orientation play no part.
    converter.m_paperOrientation = 1;
    const QList<Page> portrait = pagesFor("portrait.jpg");
    ASSERT_EQ(portrait.size(), 1);
    ExpectRect(portrait[0].mediaBox, QRectF(0, 0, 30, 45));
    ExpectRect(portrait[0].cropBox, QRectF(0, 0, 30, 45));
    ExpectRect(portrait[0].imageRect, QRectF(0, 0, 30, 45));
    EXPECT_EQ(portrait[0].filter, "/DCTDecode");
    EXPECT_EQ(portrait[0].colorSpace, "/DeviceRGB");
    EXPECT_EQ(portrait[0].imageWidth, 60);
    EXPECT_EQ(portrait[0].imageHeight, 90);
    // Encoded once: the page's stream is exactly what the converter produced, not a decode and re-encode.
    EXPECT_EQ(portrait[0].rawImage, encodedAlone("portrait.jpg", ImageType::JPEG, 0.8));

    const QList<Page> landscape = pagesFor("landscape.jpg");
    ASSERT_EQ(landscape.size(), 1);
    ExpectRect(landscape[0].mediaBox, QRectF(0, 0, 100, 50));
}

TEST_F(ImagesToPDFLayout, JPEG2000AndAlphaImagesKeepTheirOwnForm)
{
    converter.m_pageImageType = ImageType::JPEG2000;
    const QList<Page> jpx = pagesFor("landscape.jpg");
    ASSERT_EQ(jpx.size(), 1);
    EXPECT_EQ(jpx[0].filter, "/JPXDecode");
    EXPECT_EQ(jpx[0].imageWidth, 100);
    EXPECT_EQ(jpx[0].imageHeight, 50);
    EXPECT_EQ(jpx[0].rawImage, encodedAlone("landscape.jpg", ImageType::JPEG2000, 0.8));

    QImage translucent = quadrantImage(40, 20).convertToFormat(QImage::Format_ARGB32);
    translucent.setPixelColor(0, 0, QColor(255, 0, 0, 0));
    ASSERT_TRUE(writePNG(path("alpha.png"), translucent, 72));
    converter.m_pageImageType = ImageType::PNG;
    const QList<Page> png = pagesFor("alpha.png");
    ASSERT_EQ(png.size(), 1);
    EXPECT_EQ(png[0].filter, "/FlateDecode");
    EXPECT_EQ(png[0].colorSpace, "/DeviceRGB");
    EXPECT_TRUE(png[0].softMask);
    ExpectRect(png[0].mediaBox, QRectF(0, 0, 40, 20));
}

TEST_F(ImagesToPDFLayout, CMYKPagesShowTheirColours)
{
    ASSERT_TRUE(writeJPEG(path("square.jpg"), quadrantImage(100, 100), 72, false));
    converter.m_pageImageColorModel = 2;
    const QList<Page> pages = pagesFor("square.jpg");
    ASSERT_EQ(pages.size(), 1);
    EXPECT_EQ(pages[0].filter, "/DCTDecode");
    EXPECT_EQ(pages[0].colorSpace, "/DeviceCMYK");
    const QImage drawn = Rendered(path("square.jpg.pdf"));
    if (drawn.isNull())
        GTEST_SKIP() << "pdftoppm is not installed";
    // Profiles shift the inks a little; what matters is that no colour comes out inverted.
    EXPECT_GT(qRed(drawn.pixel(20, 20)), 160);
    EXPECT_LT(qGreen(drawn.pixel(20, 20)), 100);
    EXPECT_GT(qGreen(drawn.pixel(80, 20)), 120);
    EXPECT_LT(qRed(drawn.pixel(80, 20)), 100);
    EXPECT_GT(qGray(drawn.pixel(80, 80)), 200);
}

TEST_F(ImagesToPDFLayout, EveryPageOfAMultiPageFileAndAWebPFile)
{
    ASSERT_TRUE(writeTIFF(path("three.tif"), {quadrantImage(40, 20), quadrantImage(30, 20), quadrantImage(20, 20)}, 72));
    const QList<Page> pages = pagesFor("three.tif");
    ASSERT_EQ(pages.size(), 3);
    EXPECT_EQ(pages[0].imageWidth, 40);
    EXPECT_EQ(pages[1].imageWidth, 30);
    EXPECT_EQ(pages[2].imageWidth, 20);
    ExpectRect(pages[1].mediaBox, QRectF(0, 0, 30, 20));

    ASSERT_TRUE(writeWebP(path("picture.webp"), quadrantImage(32, 16)));
    const QList<Page> webp = pagesFor("picture.webp");
    ASSERT_EQ(webp.size(), 1);
    EXPECT_EQ(webp[0].imageWidth, 32);
    EXPECT_EQ(webp[0].filter, "/DCTDecode");
}

TEST_F(ImagesToPDFLayout, LaidOutPagesWidenAndHeightenTheMediaBox)
{
    // Letter with half-inch margins: content 540 x 720; the image is 100 x 50 points.
    layOutOnLetter();
    QList<Page> pages = pagesFor("landscape.jpg");
    ASSERT_EQ(pages.size(), 1);
    ExpectRect(pages[0].mediaBox, QRectF(0, 0, 612 + 440, 792 + 670));
    ExpectRect(pages[0].cropBox, QRectF(440, 0, 612, 792));
    // The image sits in the middle of the visible content area.
    ExpectRect(pages[0].imageRect, QRectF(440 + 36 + 220, 36 + 335, 100, 50));

    converter.m_keepWidth = 1;
    pages = pagesFor("landscape.jpg");
    ExpectRect(pages[0].mediaBox, QRectF(0, 0, 612, 792 + 670));
    ExpectRect(pages[0].cropBox, QRectF(0, 0, 612, 792));

    converter.m_keepHeight = 1;
    pages = pagesFor("landscape.jpg");
    ExpectRect(pages[0].mediaBox, QRectF(0, 0, 612, 792));
    ExpectRect(pages[0].cropBox, QRectF(0, 0, 612, 792));
    ExpectRect(pages[0].imageRect, QRectF(36 + 220, 36 + 335, 100, 50));

    // Landscape paper swaps the sides.
    layOutOnLetter(1);
    converter.m_keepWidth = converter.m_keepHeight = 1;
    pages = pagesFor("landscape.jpg");
    ExpectRect(pages[0].mediaBox, QRectF(0, 0, 792, 612));
}

TEST_F(ImagesToPDFLayout, ALargeImageIsPrintedSmallEnoughForTheContentArea)
{
    ASSERT_TRUE(writeJPEG(path("large.jpg"), quadrantImage(2000, 1000), 72, false));
    layOutOnLetter();
    const QList<Page> pages = pagesFor("large.jpg");
    ASSERT_EQ(pages.size(), 1);
    // All pixels kept; the resolution rises so that the width fills the 540 points exactly.
    EXPECT_EQ(pages[0].imageWidth, 2000);
    EXPECT_NEAR(pages[0].imageRect.width(), 540, 0.05);
    EXPECT_NEAR(pages[0].imageRect.height(), 270, 0.05);
    ExpectRect(pages[0].cropBox, QRectF(0, 0, 612, 792));
    EXPECT_NEAR(pages[0].mediaBox.height(), 792 + 450, 0.05);
}

TEST_F(ImagesToPDFLayout, TheResolutionCeilingAndTheScale)
{
    converter.m_scalePercent = 50;
    converter.m_maxDPI = 150;
    // 72 dpi is under the ceiling: the scale percentage applies and the resolution stays.
    QList<Page> pages = pagesFor("landscape.jpg");
    ASSERT_EQ(pages.size(), 1);
    EXPECT_EQ(pages[0].imageWidth, 50);
    ExpectRect(pages[0].mediaBox, QRectF(0, 0, 50, 25));

    // 600 dpi: 25 percent of the pixels, written at 150 dpi, the printed size unchanged.
    ASSERT_TRUE(writeJPEG(path("fine.jpg"), quadrantImage(600, 300), 600, false));
    pages = pagesFor("fine.jpg");
    ASSERT_EQ(pages.size(), 1);
    EXPECT_EQ(pages[0].imageWidth, 150);
    ExpectRect(pages[0].mediaBox, QRectF(0, 0, 72, 36));

    // Measured against the content area: 2000 pixels over 540 points is 266.7 dpi, above 150.
    ASSERT_TRUE(writeJPEG(path("large.jpg"), quadrantImage(2000, 1000), 72, false));
    layOutOnLetter();
    converter.m_maxDPI = 150;
    pages = pagesFor("large.jpg");
    ASSERT_EQ(pages.size(), 1);
    EXPECT_NEAR(pages[0].imageWidth, 2000 * 150 / (2000.0 / 540 * 72), 1.0);
    EXPECT_NEAR(pages[0].imageRect.width(), 540, 1.0);
}

TEST_F(ImagesToPDFLayout, AnglesTurnTheImage)
{
    // The samples are stored as they were, their turn given as an orientation; the page shows them turned.
    for (const int angle : {90, -90, 270, -270}) {
        const QList<Page> pages = pagesFor("landscape.jpg", angle);
        ASSERT_EQ(pages.size(), 1) << angle;
        EXPECT_EQ(pages[0].imageWidth, 100) << angle;
        ExpectRect(pages[0].mediaBox, QRectF(0, 0, 50, 100));
        ExpectRect(pages[0].imageRect, QRectF(0, 0, 50, 100));
    }
    for (const QVariant& angle : {QVariant(180), QVariant(-180), QVariant(0), QVariant(400), QVariant(90.0)}) {
        const QList<Page> pages = pagesFor("landscape.jpg", angle);
        ASSERT_EQ(pages.size(), 1);
        const bool turned = angle.toInt() == 90;
        EXPECT_NEAR(pages[0].mediaBox.width(), turned ? 50 : 100, kTolerance) << angle.toDouble();
    }
    // A quarter turn clockwise: blue (bottom left) comes to the top left, red to the top right.
    ASSERT_TRUE(writeJPEG(path("square.jpg"), quadrantImage(100, 100), 72, false));
    for (const auto& [angle, corners] :
         std::vector<std::pair<int, std::vector<QRgb>>>{{90, {qRgb(0, 0, 255), qRgb(255, 0, 0), qRgb(255, 255, 255)}},
                                                        {-90, {qRgb(0, 255, 0), qRgb(255, 255, 255), qRgb(255, 0, 0)}},
                                                        {180, {qRgb(255, 255, 255), qRgb(0, 0, 255), qRgb(0, 255, 0)}}}) {
        ASSERT_EQ(pagesFor("square.jpg", angle).size(), 1);
        const QImage drawn = Rendered(path("square.jpg.pdf"));
        if (drawn.isNull())
            continue;
        EXPECT_TRUE(Near(drawn.pixel(20, 20), corners[0])) << angle;
        EXPECT_TRUE(Near(drawn.pixel(80, 20), corners[1])) << angle;
        EXPECT_TRUE(Near(drawn.pixel(20, 80), corners[2])) << angle;
    }

    // Without a number the angle of the last item stays.
    pagesFor("landscape.jpg", 90);
    const QList<Page> kept = pagesFor("landscape.jpg", QStringLiteral("none"));
    ASSERT_EQ(kept.size(), 1);
    EXPECT_NEAR(kept[0].mediaBox.width(), 50, kTolerance);

    // Laid out, the turned image is what must fit the content area.
    ASSERT_TRUE(writeJPEG(path("wide.jpg"), quadrantImage(1440, 360), 72, false));
    layOutOnLetter();
    const QList<Page> laid = pagesFor("wide.jpg", 90);
    ASSERT_EQ(laid.size(), 1);
    EXPECT_NEAR(laid[0].imageRect.height(), 720, 0.05);
    EXPECT_NEAR(laid[0].imageRect.width(), 180, 0.05);
}

TEST_F(ImagesToPDFLayout, AFileThatDoesNotLoadAddsNothing)
{
    ASSERT_TRUE(writeBytes(path("broken.jpg"), QByteArrayLiteral("\xFF\xD8 not a picture")));
    const std::unique_ptr<PdfDocument> document = PdfDocument::create();
    long long index = 4;
    EXPECT_FALSE(converter.AddImageFileToDocument(url("broken.jpg"), *document, index, 0));
    EXPECT_FALSE(converter.AddImageFileToDocument(url("missing.jpg"), *document, index, 0));
    EXPECT_FALSE(converter.AddImageFileToDocument(QUrl(), *document, index, 0));
    EXPECT_EQ(index, 4);
    EXPECT_EQ(document->pageCount(), 0);
}

TEST(EncodedImageHeader, AJPEGsSizeComesFromItsFrameHeaderPastTheTablesBeforeIt)
{
    // Start of image; a Huffman table (C4) and an arithmetic conditioning (CC) segment; then the
    // frame header (C2): 8 bits, 48 rows, 64 columns, 3 components.
    const QByteArray jpeg = QByteArray::fromHex("ffd8"
                                                "ffc4000600010203"
                                                "ffcc00040011"
                                                "ffc2001108003000400301110002110103110100");
    PDFEncodedImage image;
    ASSERT_TRUE(ReadEncodedImageHeader(jpeg, image));
    EXPECT_FALSE(image.jpeg2000);
    EXPECT_EQ(image.width, 64);
    EXPECT_EQ(image.height, 48);
    EXPECT_EQ(image.components, 3);
}
