#include "ToolkitTestImages.h"

#include "toolkit/converter/ImageConverter.h"
#include "toolkit/helpers/BitmapContext.h"
#include "toolkit/helpers/ByteHelpers.h"
#include "toolkit/helpers/ColorConversion.h"
#include "toolkit/helpers/ImageExtension.h"
#include "toolkit/helpers/ImageTypeCodes.h"
#include "toolkit/helpers/OrientationTransform.h"
#include "toolkit/helpers/StampPlacement.h"
#include "toolkit/helpers/UnitConversion.h"

#include <gtest/gtest.h>

#include <QPainter>
#include <QTemporaryDir>

using namespace ToolkitTestImages;

TEST(ImageTypeCodes, FirstTenAndTheRest)
{
    EXPECT_EQ(ImageTypeFromUTI(QStringLiteral("public.fax"), true), 0U);
    EXPECT_EQ(ImageTypeFromUTI(QStringLiteral("public.fax"), false), 21U);
    EXPECT_EQ(ImageTypeFromUTI(QStringLiteral("com.apple.icns"), true), 6U);
    EXPECT_EQ(ImageTypeFromUTI(QStringLiteral("com.apple.icns"), false), 6U);
    EXPECT_EQ(ImageTypeFromUTI(QStringLiteral("com.microsoft.ico"), false), 18U);
    EXPECT_EQ(ImageTypeFromUTI(QStringLiteral("public.camera-raw-image"), false), 22U);
    // Comparisons are exact: no case folding, no PDF, nothing for WebP.
    EXPECT_EQ(ImageTypeFromUTI(QStringLiteral("PUBLIC.JPEG"), false), 0U);
    EXPECT_EQ(ImageTypeFromUTI(QStringLiteral("com.adobe.pdf"), false), 0U);
    EXPECT_EQ(ImageTypeFromUTI(QStringLiteral("org.webmproject.webp"), false), 0U);
}

TEST(ImageTypeCodes, WriteIdentifiers)
{
    EXPECT_EQ(ImageWriteIdentifier(0), QStringLiteral("public.jpeg"));
    EXPECT_EQ(ImageWriteIdentifier(8), QStringLiteral("com.adobe.pdf"));
    EXPECT_EQ(ImageWriteIdentifier(13), QStringLiteral("public.tiff"));
    EXPECT_EQ(ImageWriteIdentifier(23), QStringLiteral("public.tiff"));
    EXPECT_EQ(ImageWriteIdentifier(99), QStringLiteral("public.jpeg"));
    EXPECT_TRUE(ImageWriteIdentifier(15).isEmpty());
    EXPECT_TRUE(ImageWriteIdentifier(18).isEmpty());
    for (std::uint32_t refused : {14U, 15U, 17U, 20U}) {
        EXPECT_FALSE(IsImageTypeReadable(refused)) << refused;
        EXPECT_FALSE(IsImageTypeWritable(refused)) << refused;
    }
    for (std::uint32_t readOnly : {18U, 21U, 22U}) {
        EXPECT_TRUE(IsImageTypeReadable(readOnly)) << readOnly;
        EXPECT_FALSE(IsImageTypeWritable(readOnly)) << readOnly;
    }

    ImageConverter converter;
    converter.SetOutputType(ImageType::PNG);
    EXPECT_EQ(CopyOutputTypeIdentifier(converter), QStringLiteral("public.png"));
}

TEST(ImageTypeCodes, DocumentTypes)
{
    EXPECT_EQ(DocumentTypeFromUTI(QStringLiteral("public.rtf")), 1U);
    EXPECT_EQ(DocumentTypeFromUTI(QStringLiteral("com.apple.spinreport")), 5U);
    EXPECT_EQ(DocumentTypeFromUTI(QStringLiteral("org.oasis-open.opendocument.graphics")), 19U);
    EXPECT_EQ(DocumentTypeFromUTI(QStringLiteral("org.oasis-open.opendocument.text-web")), 32U);
    EXPECT_EQ(DocumentTypeFromUTI(QStringLiteral("org.openxmlformats.spreadsheetml.template")), 33U);
    EXPECT_EQ(DocumentTypeFromUTI(QStringLiteral("org.openxmlformats.presentationml.slideshow.macroenabled")), 36U);
    EXPECT_EQ(DocumentTypeFromUTI(QStringLiteral("public.jpeg")), 0U);
}

TEST(ImageTypeCodes, FilesAreClassifiedByContentAndName)
{
    QTemporaryDir folder;
    const QImage picture = quadrantImage(8, 8);
    ASSERT_TRUE(writePNG(folder.filePath("a.png"), picture, 72));
    ASSERT_TRUE(writeJPEG(folder.filePath("a.jpg"), picture, 72, false));
    ASSERT_TRUE(writeTIFF(folder.filePath("a.tif"), {picture}, 72));
    ASSERT_TRUE(writeGIF(folder.filePath("a.gif"), {picture}));
    ASSERT_TRUE(writeSGI(folder.filePath("a.sgi"), picture, false));
    ASSERT_TRUE(writeBytes(folder.filePath("notes.txt"), "plain words\n"));
    EXPECT_EQ(ImageTypeOfURL(QUrl::fromLocalFile(folder.filePath("a.png"))), 7U);
    EXPECT_EQ(ImageTypeOfURL(QUrl::fromLocalFile(folder.filePath("a.jpg"))), 4U);
    EXPECT_EQ(ImageTypeOfURL(QUrl::fromLocalFile(folder.filePath("a.tif"))), 10U);
    EXPECT_EQ(ImageTypeOfURL(QUrl::fromLocalFile(folder.filePath("a.gif"))), 2U);
    // SGI is not among the first ten: the URL classification does not name it.
    EXPECT_EQ(ImageTypeOfURL(QUrl::fromLocalFile(folder.filePath("a.sgi"))), 0U);
    EXPECT_EQ(TypeIdentifierOfURL(QUrl::fromLocalFile(folder.filePath("a.sgi"))), QStringLiteral("com.sgi.sgi-image"));
    EXPECT_EQ(ImageTypeOfURL(QUrl::fromLocalFile(folder.filePath("notes.txt"))), 0U);
    EXPECT_EQ(ImageTypeOfURL(QUrl::fromLocalFile(folder.filePath("missing.png"))), 0U);
    EXPECT_EQ(ImageTypeOfURL(QUrl(QStringLiteral("https://example.invalid/a.png"))), 0U);
}

TEST(ImageExtension, ShippedListAndMissingList)
{
    EXPECT_EQ(GetImageExtension(ImageType::JPEG), QStringLiteral("jpg"));
    EXPECT_EQ(GetImageExtension(ImageType::PNG), QStringLiteral("png"));
    EXPECT_EQ(GetImageExtension(ImageType::TIFF), QStringLiteral("tif"));
    EXPECT_EQ(GetImageExtension(ImageType::WebP), QStringLiteral("webp"));
    for (std::uint32_t code = 0; code <= 24; ++code)
        EXPECT_FALSE(GetImageExtension(code).isEmpty()) << code;
    EXPECT_TRUE(GetImageExtension(25).isEmpty());
    for (std::uint32_t code = 0; code <= 25; ++code)
        EXPECT_TRUE(GetImageExtension(code, QStringLiteral("/no/such/ImageExtension.plist")).isEmpty()) << code;
}

namespace {

// The picture drawn through orientation matrix `index` as a bitmap context draws it.
QImage orient(const QImage& picture, int index)
{
    const bool turned = index >= 4;
    const int width = turned ? picture.height() : picture.width();
    const int height = turned ? picture.width() : picture.height();
    QImage canvas(width, height, QImage::Format_RGB32);
    canvas.fill(Qt::black);
    QPainter painter(&canvas);
    painter.setTransform(BitmapContextTransform(height));
    painter.setTransform(OrientationMatrix(index, picture.width(), picture.height()), true);
    DrawImageUpright(painter, picture, QRectF(0, 0, picture.width(), picture.height()));
    painter.end();
    return canvas;
}

} // namespace

TEST(OrientationTransform, EightMatricesOnAnAsymmetricPicture)
{
    const QImage picture = quadrantImage(40, 20);
    const QRgb red = qRgb(255, 0, 0);
    const QRgb green = qRgb(0, 255, 0);
    struct Expected {
        int index;
        QPointF redAt; // fractions of the output's width and height, y downwards
        QPointF greenAt;
    };
    const Expected cases[] = {
        {0, {0.25, 0.25}, {0.75, 0.25}}, // none
        {1, {0.75, 0.25}, {0.25, 0.25}}, // mirror left-right
        {2, {0.75, 0.75}, {0.25, 0.75}}, // half turn
        {3, {0.25, 0.75}, {0.75, 0.75}}, // mirror top-bottom
        {4, {0.25, 0.25}, {0.25, 0.75}}, // the top row becomes the left column
        {5, {0.75, 0.25}, {0.75, 0.75}}, // a quarter turn clockwise
        {6, {0.75, 0.75}, {0.75, 0.25}}, // the top row becomes the right column, read upwards
        {7, {0.25, 0.75}, {0.25, 0.25}}, // a quarter turn counter-clockwise
    };
    for (const auto& expected : cases) {
        const QImage out = orient(picture, expected.index);
        auto at = [&](QPointF f) { return pixelAt(out, static_cast<int>(f.x() * out.width()), static_cast<int>(f.y() * out.height())); };
        EXPECT_EQ(at(expected.redAt), red) << "index " << expected.index;
        EXPECT_EQ(at(expected.greenAt), green) << "index " << expected.index;
    }
}

TEST(OrientationTransform, IndexFromFlipsAndAngle)
{
    EXPECT_EQ(OrientationIndex(0, 0), 0);
    EXPECT_EQ(OrientationIndex(1, 0), 1);
    EXPECT_EQ(OrientationIndex(2, 0), 3);
    EXPECT_EQ(OrientationIndex(3, 0), 2);   // both mirrors: a half turn
    EXPECT_EQ(OrientationIndex(3, 270), 7); // 270 + 180 − 360 = 90
    EXPECT_EQ(OrientationIndex(3, 180), 0); // 180 + 180 − 360 = 0
    EXPECT_EQ(OrientationIndex(1, 180), 3);
    EXPECT_EQ(OrientationIndex(2, -180), 1);
    EXPECT_EQ(OrientationIndex(0, 90), 7);
    EXPECT_EQ(OrientationIndex(0, -270), 7);
    EXPECT_EQ(OrientationIndex(1, 90), 6);
    EXPECT_EQ(OrientationIndex(2, 90), 4);
    EXPECT_EQ(OrientationIndex(0, 180), 2);
    EXPECT_EQ(OrientationIndex(0, -90), 5);
    EXPECT_EQ(OrientationIndex(1, 270), 4);
    EXPECT_EQ(OrientationIndex(2, 270), 6);
    EXPECT_EQ(OrientationIndex(0, 45), 0);
    const QTransform halfTurn = GetOrientationTransform(30, 20, 3, 0);
    EXPECT_EQ(halfTurn, QTransform(-1, 0, 0, -1, 30, 20));
    EXPECT_EQ(GetOrientationTransform(30, 20, 0, 90), QTransform(0, 1, -1, 0, 20, 0));
}

TEST(StampPlacement, NearestEdgeOrCentreIsKept)
{
    const QSizeF reference(550, 550);
    // Centred in the preview: centred on the canvas.
    const StampItemBox centred{225, 250, 325, 300};
    const QPointF placed = PlaceStampItem(centred, reference, QSizeF(1100, 1100), QSizeF(2, 2));
    EXPECT_DOUBLE_EQ(placed.x(), 450);
    EXPECT_DOUBLE_EQ(placed.y(), 500);
    // Near the left and bottom edges: the distance scales with the canvas.
    const QPointF nearEdge = PlaceStampItem({10, 20, 60, 40}, reference, QSizeF(1100, 550), QSizeF(1, 1));
    EXPECT_DOUBLE_EQ(nearEdge.x(), 20);
    EXPECT_DOUBLE_EQ(nearEdge.y(), 20);
    // Near the right edge: the far corner keeps its scaled distance to the edge.
    const QPointF nearRight = PlaceStampItem({480, 20, 540, 40}, reference, QSizeF(1100, 1100), QSizeF(2, 2));
    EXPECT_DOUBLE_EQ(nearRight.x(), 1100 - 10 * 2 - 60 * 2);
    // Left distance 125 and centre distance 125: a tie lands at 0.
    const QPointF tie = PlaceStampItem({125, 20, 175, 40}, reference, QSizeF(1100, 1100), QSizeF(2, 2));
    EXPECT_DOUBLE_EQ(tie.x(), 0);

    ImageConverter converter;
    converter.m_textStamp.referenceWidth = 550;
    converter.m_textStamp.referenceHeight = 550;
    float scale = 0;
    const QPointF viaConverter = PlaceInCanvas(converter, 1100, 800, scale, centred);
    EXPECT_FLOAT_EQ(scale, 2.0f);
    EXPECT_DOUBLE_EQ(viaConverter.x(), 450);
}

TEST(UnitConversion, PointsAndInches)
{
    EXPECT_DOUBLE_EQ(UnitToPoints(LengthUnit::Millimetres, 25.4), 72);
    EXPECT_DOUBLE_EQ(UnitToPoints(LengthUnit::Centimetres, 2.54), 72);
    EXPECT_DOUBLE_EQ(UnitToPoints(3, 1), 72);
    EXPECT_DOUBLE_EQ(PointsToInches(LengthUnit::Points, 144), 2);
    EXPECT_DOUBLE_EQ(PointsToInches(LengthUnit::Millimetres, 10), 0.3937007859349251);
    EXPECT_DOUBLE_EQ(PointsToInches(LengthUnit::Centimetres, 1), 0.3937007784843445);
}

TEST(ByteHelpers, OrderAndSign)
{
    EXPECT_EQ(SwapBytes16(0x0180), static_cast<std::int16_t>(-32767));
    EXPECT_EQ(SwapBytes16(0x3412), 0x1234);
    EXPECT_EQ(SwapBytes32(0x12345678U), 0x78563412U);
    std::uint8_t bytes[7] = {};
    PutByte(bytes, 0xAB);
    PutBigEndian16(bytes + 1, 0x1234);
    PutBigEndian32(bytes + 3, 0xDEADBEEFU);
    const std::uint8_t expected[7] = {0xAB, 0x12, 0x34, 0xDE, 0xAD, 0xBE, 0xEF};
    EXPECT_EQ(0, std::memcmp(bytes, expected, 7));
}

TEST(ColorConversion, OwnSpaceOrRGB)
{
    EXPECT_FALSE(ColorToCGColor(QColor()).has_value());
    const QColor cmyk = QColor::fromCmykF(0.1f, 0.2f, 0.3f, 0.4f);
    ASSERT_TRUE(ColorToCGColor(cmyk).has_value());
    EXPECT_EQ(ColorToCGColor(cmyk)->spec(), QColor::Cmyk);
    const QColor hsv = QColor::fromHsv(120, 255, 255, 100);
    ASSERT_TRUE(ColorToCGColor(hsv).has_value());
    EXPECT_EQ(ColorToCGColor(hsv)->spec(), QColor::Rgb);
    EXPECT_EQ(ColorToCGColor(hsv)->rgba(), qRgba(0, 255, 0, 100));
}
