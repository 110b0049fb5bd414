#include "toolkit/ToolkitTestImages.h"
#include "toolkit/writing/WritingTestSupport.h"

#include "toolkit/converter/ImageConverter.h"
#include "toolkit/helpers/ImageTypeCodes.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

using namespace ToolkitTestImages;
using namespace WritingTest;

namespace {

constexpr QRgb kRed = 0xFFFF0000;
constexpr QRgb kGreen = 0xFF00FF00;
constexpr QRgb kBlue = 0xFF0000FF;
constexpr QRgb kWhite = 0xFFFFFFFF;

class ImageSizing : public ::testing::Test {
protected:
    QString path(const QString& name) const { return m_folder.filePath(name); }

    // Converts the 1000 × 500 quadrant picture to PNG with the size record.
    bool convert(const ImageSizeOptions& size, const QString& output, std::int64_t rotation = 0)
    {
        ImageConverter converter;
        EXPECT_TRUE(converter.LoadSourceImage(QUrl::fromLocalFile(path("source.png"))));
        converter.SetOutputInfo(ImageType::PNG, QUrl::fromLocalFile(path(output)), 0.8);
        converter.m_rotation = rotation;
        return converter.ConvertWithSize(size);
    }

    void SetUp() override { ASSERT_TRUE(writePNG(path("source.png"), quadrantImage(1000, 500), 72)); }

    QTemporaryDir m_folder;
};

} // namespace

TEST_F(ImageSizing, FitModesOnABox)
{
    // Fit inside: the whole picture at 400 × 200.
    ASSERT_TRUE(convert(pixelBox(400, 400, 2, true), "fit.png"));
    auto fit = readBack(path("fit.png"));
    ASSERT_TRUE(fit);
    EXPECT_EQ(fit->image().size(), QSize(400, 200));
    EXPECT_TRUE(near(pixelAt(fit->image(), 100, 50), kRed, 2));
    EXPECT_TRUE(near(pixelAt(fit->image(), 300, 150), kWhite, 2));

    // Fill and crop: drawn 800 × 400 at x = -200, so the middle half of the picture shows.
    ASSERT_TRUE(convert(pixelBox(400, 400, 6, true), "fill.png"));
    auto fill = readBack(path("fill.png"));
    ASSERT_TRUE(fill);
    EXPECT_EQ(fill->image().size(), QSize(400, 400));
    EXPECT_TRUE(near(pixelAt(fill->image(), 100, 100), kRed, 2));
    EXPECT_TRUE(near(pixelAt(fill->image(), 300, 100), kGreen, 2));
    EXPECT_TRUE(near(pixelAt(fill->image(), 100, 300), kBlue, 2));
    EXPECT_TRUE(near(pixelAt(fill->image(), 300, 300), kWhite, 2));

    // Crop without keeping the aspect: 600 × 500, unscaled, 200 pixels cut on each side.
    ASSERT_TRUE(convert(pixelBox(600, 600, 3, false), "crop.png"));
    auto crop = readBack(path("crop.png"));
    ASSERT_TRUE(crop);
    EXPECT_EQ(crop->image().size(), QSize(600, 500));
    EXPECT_TRUE(near(pixelAt(crop->image(), 295, 10), kRed, 0));
    EXPECT_TRUE(near(pixelAt(crop->image(), 305, 10), kGreen, 0));

    // Keep aspect in mode 0 with both sides given: scale 0, no bitmap, no file.
    EXPECT_FALSE(convert(pixelBox(400, 400, 0, true), "none.png"));
    EXPECT_FALSE(QFile::exists(path("none.png")));
}

TEST_F(ImageSizing, StretchAndEnlargement)
{
    ASSERT_TRUE(convert(pixelBox(300, 300, 0, false), "stretch.png"));
    EXPECT_EQ(readBack(path("stretch.png"))->image().size(), QSize(300, 300));
    // Enlarging off: a box larger than the picture keeps its own size.
    ASSERT_TRUE(convert(pixelBox(2000, 2000, 2, true), "same.png"));
    EXPECT_EQ(readBack(path("same.png"))->image().size(), QSize(1000, 500));
    ImageSizeOptions larger = pixelBox(2000, 2000, 2, true);
    larger.allowEnlarge = 1;
    ASSERT_TRUE(convert(larger, "larger.png"));
    EXPECT_EQ(readBack(path("larger.png"))->image().size(), QSize(2000, 1000));
    // Percent of the pixel size, with only one side given under keep aspect.
    ImageSizeOptions half = pixelBox(50, 0, 0, true);
    half.unit = 1;
    ASSERT_TRUE(convert(half, "half.png"));
    EXPECT_EQ(readBack(path("half.png"))->image().size(), QSize(500, 250));
}

TEST_F(ImageSizing, QuarterTurnSwapsSizeAndResolution)
{
    QImage source = quadrantImage(300, 200);
    source.setDotsPerMeterX(qRound(144 / 0.0254));
    source.setDotsPerMeterY(qRound(72 / 0.0254));
    ASSERT_TRUE(source.save(path("turn.png")));
    ImageConverter converter;
    ASSERT_TRUE(converter.LoadSourceImage(QUrl::fromLocalFile(path("turn.png"))));
    converter.SetOutputInfo(ImageType::TIFF, QUrl::fromLocalFile(path("turned.tif")), 0.8);
    converter.m_rotation = 90;
    ImageSizeOptions size = pixelBox(300, 200, 0, false);
    ASSERT_TRUE(converter.ConvertWithSize(size));
    const auto turned = readBack(path("turned.tif"));
    ASSERT_TRUE(turned);
    EXPECT_EQ(turned->image().size(), QSize(200, 300));
    EXPECT_NEAR(turned->dpiX(), 72, 0.5);
    EXPECT_NEAR(turned->dpiY(), 144, 0.5);
    // A quarter turn to the left: the top-right quadrant (green) comes to the top-left.
    EXPECT_TRUE(near(pixelAt(turned->image(), 20, 20), kGreen, 0));
    EXPECT_TRUE(near(pixelAt(turned->image(), 180, 280), kBlue, 0));
}

TEST_F(ImageSizing, WithoutResamplingTheTargetSetsTheResolution)
{
    ImageConverter converter;
    ASSERT_TRUE(converter.LoadSourceImage(QUrl::fromLocalFile(path("source.png"))));
    converter.SetOutputInfo(ImageType::TIFF, QUrl::fromLocalFile(path("inches.tif")), 0.8);
    ImageSizeOptions size = pixelBox(0, 0, 0, false);
    size.resize = 0;
    size.unit = 3; // inches: 1000 pixels over 5 inches
    size.width = 5;
    ASSERT_TRUE(converter.ConvertWithSize(size));
    auto written = readBack(path("inches.tif"));
    ASSERT_TRUE(written);
    EXPECT_EQ(written->image().size(), QSize(1000, 500));
    EXPECT_NEAR(written->dpiX(), 200, 0.5);
    EXPECT_NEAR(written->dpiY(), 200, 0.5);
    EXPECT_EQ(tiffTag(path("inches.tif"), 296 /* ResolutionUnit */), 2);

    // Neither side given: the image keeps its own resolution instead of dividing by zero.
    QImage own = quadrantImage(100, 100);
    own.setDotsPerMeterX(qRound(150 / 0.0254));
    own.setDotsPerMeterY(qRound(150 / 0.0254));
    ASSERT_TRUE(own.save(path("own.png")));
    ImageConverter keep;
    ASSERT_TRUE(keep.LoadSourceImage(QUrl::fromLocalFile(path("own.png"))));
    keep.SetOutputInfo(ImageType::TIFF, QUrl::fromLocalFile(path("own.tif")), 0.8);
    size.width = 0;
    ASSERT_TRUE(keep.ConvertWithSize(size));
    EXPECT_NEAR(readBack(path("own.tif"))->dpiX(), 150, 0.5);
}

TEST_F(ImageSizing, WithoutResamplingATurnOrMirrorIsStillDrawn)
{
    ImageSizeOptions size = pixelBox(0, 0, 0, false);
    size.resize = 0;
    size.unit = 3;
    size.width = 5;
    ASSERT_TRUE(convert(size, "turned.png", 90));
    auto turned = readBack(path("turned.png"));
    ASSERT_TRUE(turned);
    EXPECT_EQ(turned->image().size(), QSize(500, 1000));

    ImageConverter mirror;
    ASSERT_TRUE(mirror.LoadSourceImage(QUrl::fromLocalFile(path("source.png"))));
    mirror.SetOutputInfo(ImageType::PNG, QUrl::fromLocalFile(path("mirrored.png")), 0.8);
    mirror.m_flip = 1;
    ASSERT_TRUE(mirror.ConvertWithSize(size));
    auto mirrored = readBack(path("mirrored.png"));
    ASSERT_TRUE(mirrored);
    EXPECT_TRUE(near(pixelAt(mirrored->image(), 100, 100), kGreen, 2));
}

TEST_F(ImageSizing, WithoutResamplingTheResolutionGivesTheSizeAskedForAtAnySourceResolution)
{
    // 400 pixels at 200 dpi asked to print 2 inches wide: it already does, at 200 dpi.
    ASSERT_TRUE(writePNG(path("fine.png"), quadrantImage(400, 200), 200));
    ImageConverter converter;
    ASSERT_TRUE(converter.LoadSourceImage(QUrl::fromLocalFile(path("fine.png"))));
    converter.SetOutputInfo(ImageType::TIFF, QUrl::fromLocalFile(path("fine.tif")), 0.8);
    ImageSizeOptions size = pixelBox(0, 0, 0, false);
    size.resize = 0;
    size.unit = 3;
    size.width = 2;
    ASSERT_TRUE(converter.ConvertWithSize(size));
    auto written = readBack(path("fine.tif"));
    ASSERT_TRUE(written);
    EXPECT_NEAR(written->dpiX(), 200, 0.5);
    EXPECT_NEAR(written->dpiY(), 200, 0.5);
}

TEST_F(ImageSizing, AScaledSideIsAtLeastOnePixel)
{
    // A one-pixel-wide background strip at half size: 1 × 59, not nothing.
    ASSERT_TRUE(writePNG(path("strip.png"), quadrantImage(1, 118), 72));
    ImageConverter converter;
    ASSERT_TRUE(converter.LoadSourceImage(QUrl::fromLocalFile(path("strip.png"))));
    converter.SetOutputInfo(ImageType::PNG, QUrl::fromLocalFile(path("half.png")), 0.8);
    ImageSizeOptions size;
    size.resize = 1;
    size.keepAspectRatio = 1;
    size.unit = 1;
    size.width = 50;
    ASSERT_TRUE(converter.ConvertWithSize(size));
    auto half = readBack(path("half.png"));
    ASSERT_TRUE(half);
    EXPECT_EQ(half->image().size(), QSize(1, 59));

    ImageConverter stretched;
    ASSERT_TRUE(stretched.LoadSourceImage(QUrl::fromLocalFile(path("strip.png"))));
    stretched.SetOutputInfo(ImageType::PNG, QUrl::fromLocalFile(path("thin.png")), 0.8);
    size.keepAspectRatio = 0;
    size.height = 50;
    ASSERT_TRUE(stretched.ConvertWithSize(size));
    EXPECT_EQ(readBack(path("thin.png"))->image().size(), QSize(1, 59));
}
