// Sizes without keeping the aspect ratio when the box is larger than the picture on one side only,
// and sizes in physical units on a picture whose horizontal and vertical resolutions differ.

#include "toolkit/ToolkitTestImages.h"
#include "toolkit/writing/WritingTestSupport.h"

#include "toolkit/converter/ImageConverter.h"
#include "toolkit/helpers/ImageTypeCodes.h"

#include <QTemporaryDir>

#include <utility>

#include <gtest/gtest.h>

using namespace ToolkitTestImages;
using namespace WritingTest;

namespace {

class StretchAndUnits : public testing::Test {
protected:
    // The size of the PNG the converter writes from the picture at `source`.
    QSize convertedSize(const QString& source, const ImageSizeOptions& size)
    {
        const QString output = m_folder.filePath(QStringLiteral("out%1.png").arg(++m_outputs));
        ImageConverter converter;
        EXPECT_TRUE(converter.LoadSourceImage(QUrl::fromLocalFile(source)));
        converter.SetOutputInfo(ImageType::PNG, QUrl::fromLocalFile(output), 0.8);
        if (!converter.ConvertWithSize(size))
            return {};
        const auto written = readBack(output);
        return written ? written->image().size() : QSize();
    }

    // The resolutions of the TIFF written from `source` without resampling, at `width` × `height`
    // inches (0: not given).
    std::pair<double, double> resolutionsAtInches(const QString& source, double width, double height)
    {
        const QString output = m_folder.filePath(QStringLiteral("out%1.tif").arg(++m_outputs));
        ImageConverter converter;
        EXPECT_TRUE(converter.LoadSourceImage(QUrl::fromLocalFile(source)));
        converter.SetOutputInfo(ImageType::TIFF, QUrl::fromLocalFile(output), 0.8);
        ImageSizeOptions size = pixelBox(width, height);
        size.resize = 0;
        size.unit = 3; // inches
        EXPECT_TRUE(converter.ConvertWithSize(size));
        const auto written = readBack(output);
        return written ? std::pair(written->dpiX(), written->dpiY()) : std::pair(0.0, 0.0);
    }

    QString picture(int width, int height, double dpiX, double dpiY)
    {
        QImage image = quadrantImage(width, height);
        image.setDotsPerMeterX(qRound(dpiX / 0.0254));
        image.setDotsPerMeterY(qRound(dpiY / 0.0254));
        const QString path = m_folder.filePath(QStringLiteral("source%1.png").arg(++m_sources));
        EXPECT_TRUE(image.save(path));
        return path;
    }

    QTemporaryDir m_folder;
    int m_outputs = 0;
    int m_sources = 0;
};

} // namespace

TEST_F(StretchAndUnits, ABoxLargerOnOneSideKeepsThePicturesSizeWithoutEnlarging)
{
    const QString source = picture(200, 100, 72, 72);
    EXPECT_EQ(convertedSize(source, pixelBox(300, 50)), QSize(200, 100));
    EXPECT_EQ(convertedSize(source, pixelBox(100, 150)), QSize(200, 100));
    // Smaller on both sides: stretched to the box; larger on both: unchanged.
    EXPECT_EQ(convertedSize(source, pixelBox(150, 40)), QSize(150, 40));
    EXPECT_EQ(convertedSize(source, pixelBox(400, 400)), QSize(200, 100));
    ImageSizeOptions enlarge = pixelBox(300, 50);
    enlarge.allowEnlarge = 1;
    EXPECT_EQ(convertedSize(source, enlarge), QSize(300, 50));
}

TEST_F(StretchAndUnits, PhysicalUnitsUseEachAxisOwnResolution)
{
    // 127 dpi across, 254 dpi down (whole dots per metre): one inch square is 127 × 254 pixels.
    const QString source = picture(300, 600, 127, 254);
    ImageSizeOptions inch = pixelBox(1, 1);
    inch.unit = 3; // inches
    EXPECT_EQ(convertedSize(source, inch), QSize(127, 254));
    ImageSizeOptions points = pixelBox(72, 36);
    points.unit = 6;
    EXPECT_EQ(convertedSize(source, points), QSize(127, 127));
    // A resolution in the record is used on both axes.
    ImageSizeOptions atRecord = inch;
    atRecord.dpi = 150;
    EXPECT_EQ(convertedSize(source, atRecord), QSize(150, 150));
}

TEST_F(StretchAndUnits, WithoutResamplingOneSideSetsBothResolutionsInProportion)
{
    // 127 dpi across and 254 down.
    const QString source = picture(100, 100, 127, 254);
    // The picture's own proportion of the two resolutions stays, whichever side is given.
    const auto byWidth = resolutionsAtInches(source, 1, 0);
    ASSERT_GT(byWidth.first, 0);
    EXPECT_NEAR(byWidth.second / byWidth.first, 2, 0.01);
    const auto byHeight = resolutionsAtInches(source, 0, 1);
    ASSERT_GT(byHeight.first, 0);
    EXPECT_NEAR(byHeight.second / byHeight.first, 2, 0.01);
}

TEST_F(StretchAndUnits, WithoutResamplingTheSideGivenSetsTheResolution)
{
    // 200 × 100 pixels: one inch high, or two inches wide, prints them at 100 dpi.
    const QString source = picture(200, 100, 72, 72);
    EXPECT_EQ(resolutionsAtInches(source, 0, 1), std::pair(100.0, 100.0));
    EXPECT_EQ(resolutionsAtInches(source, 2, 0), std::pair(100.0, 100.0));
}
