#include "toolkit/ToolkitTestImages.h"
#include "toolkit/writing/WritingTestSupport.h"

#include "toolkit/converter/ImageConverter.h"
#include "toolkit/converter/OutputFile.h"
#include "toolkit/helpers/ImageTypeCodes.h"
#include "toolkit/imageio/ImageFileReader.h"
#include "toolkit/imageio/ImageReaders.h"
#include "toolkit/imagewriter/ImageEncoder.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QFileInfo>
#include <QTemporaryDir>

// exiv2 0.27 hands images out in std::auto_ptr, which the standard library keeps only as deprecated.
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <exiv2/exiv2.hpp>

using namespace ToolkitTestImages;
using namespace WritingTest;

namespace {

class ImageWriting : public ::testing::Test {
protected:
    QString path(const QString& name) const { return m_folder.filePath(name); }
    QUrl url(const QString& name) const { return QUrl::fromLocalFile(path(name)); }

    // Loads the file and writes every representation as the type.
    bool convert(const QString& source, std::uint32_t type, const QString& output, double quality = 0.9)
    {
        ImageConverter converter;
        if (!converter.LoadSourceImage(url(source)))
            return false;
        converter.SetOutputInfo(type, url(output), quality);
        converter.m_keepMetadata = m_keepMetadata;
        return converter.WriteAllRepresentations();
    }

    QTemporaryDir m_folder;
    std::uint8_t m_keepMetadata = 0;
};

void expectQuadrants(const QString& file, int tolerance)
{
    const auto back = readBack(file);
    ASSERT_TRUE(back) << file.toStdString();
    const QImage& image = back->image();
    ASSERT_EQ(image.size(), QSize(40, 20)) << file.toStdString();
    EXPECT_TRUE(near(pixelAt(image, 5, 5), qRgb(255, 0, 0), tolerance)) << file.toStdString();
    EXPECT_TRUE(near(pixelAt(image, 35, 5), qRgb(0, 255, 0), tolerance)) << file.toStdString();
    EXPECT_TRUE(near(pixelAt(image, 5, 15), qRgb(0, 0, 255), tolerance)) << file.toStdString();
    EXPECT_TRUE(near(pixelAt(image, 35, 15), qRgb(255, 255, 255), tolerance)) << file.toStdString();
}

} // namespace

TEST_F(ImageWriting, EveryWrittenTypeReadsBack)
{
    ASSERT_TRUE(writePNG(path("q.png"), quadrantImage(40, 20), 72));
    struct Case {
        std::uint32_t type;
        const char* name;
        int tolerance;
    };
    const Case cases[] = {{ImageType::JPEG, "q.jpg", 40}, {ImageType::PNG, "q2.png", 0}, {ImageType::TIFF, "q.tif", 0}, {ImageType::BMP, "q.bmp", 0}, {ImageType::GIF, "q.gif", 8}, {ImageType::JPEG2000, "q.jp2", 16}, {ImageType::TGA, "q.tga", 0}, {ImageType::SGI, "q.sgi", 0}, {ImageType::CMYKTIFF, "c.tif", 40}, {ImageType::MultiPageTIFF, "m.tif", 0}, {ImageType::Photoshop, "q.psd", 0}, {ImageType::OpenEXR, "q.exr", 2}};
    for (const Case& c : cases) {
        ASSERT_TRUE(convert("q.png", c.type, c.name)) << c.name;
        expectQuadrants(path(c.name), c.tolerance);
    }
    // Icons come in square sizes of their own: the picture is scaled to one.
    ASSERT_TRUE(convert("q.png", ImageType::AppleIcon, "q.icns"));
    EXPECT_TRUE(readBack(path("q.icns")));

    // MacPaint: one bit a dot on a page of 576 × 720, dark dots black.
    QImage drawing(576, 720, QImage::Format_RGB32);
    drawing.fill(Qt::white);
    for (int y = 100; y < 200; ++y)
        for (int x = 50; x < 300; ++x)
            drawing.setPixel(x, y, qRgb(20, 20, 20));
    ASSERT_TRUE(drawing.save(path("drawing.png")));
    ASSERT_TRUE(convert("drawing.png", ImageType::MacPaint, "drawing.pntg"));
    const auto paint = readBack(path("drawing.pntg"));
    ASSERT_TRUE(paint);
    EXPECT_EQ(paint->image().size(), QSize(576, 720));
    EXPECT_EQ(pixelAt(paint->image(), 100, 150), qRgb(0, 0, 0));
    EXPECT_EQ(pixelAt(paint->image(), 400, 150), qRgb(255, 255, 255));

    // A PDF of one page, the picture's size in points.
    ASSERT_TRUE(convert("q.png", ImageType::PDF, "q.pdf"));
    const auto pdf = Image::fromURL(url("q.pdf"));
    ASSERT_EQ(pdf->representations().size(), 1U);
    EXPECT_NEAR(pdf->representations().front()->size().width(), 40, 0.01);
    EXPECT_NEAR(pdf->representations().front()->size().height(), 20, 0.01);
}

TEST_F(ImageWriting, TIFFResolutionIsInInchesWithLZW)
{
    ASSERT_TRUE(writePNG(path("r.png"), quadrantImage(40, 20), 72));
    ImageConverter converter;
    ASSERT_TRUE(converter.LoadSourceImage(url("r.png")));
    converter.SetOutputInfo(ImageType::TIFF, url("r.tif"), 0.9);
    converter.SetResolution(300, 300);
    ASSERT_TRUE(converter.WriteImage(converter.m_image));
    EXPECT_EQ(tiffTag(path("r.tif"), 296), 2); // ResolutionUnit inch
    EXPECT_EQ(tiffTag(path("r.tif"), 259), 5); // Compression LZW
    EXPECT_NEAR(readBack(path("r.tif"))->dpiX(), 300, 0.01);
}

TEST_F(ImageWriting, MetadataTravelsOnlyIntoTypesThatHoldIt)
{
    ASSERT_TRUE(writeJPEG(path("exif.jpg"), quadrantImage(40, 20), 72, false));
    {
        auto image = Exiv2::ImageFactory::open(path("exif.jpg").toStdString());
        Exiv2::ExifData exif;
        exif["Exif.Image.Make"] = "Tomefold";
        exif["Exif.Image.ImageWidth"] = uint32_t(9999); // structural: must not travel
        exif["Exif.Photo.UserComment"] = "charset=Ascii hello";
        exif["Exif.Photo.ExposureTime"] = Exiv2::Rational(1, 125);
        exif["Exif.GPSInfo.GPSLatitudeRef"] = "N";
        exif["Exif.GPSInfo.GPSLatitude"] = "51/1 30/1 0/1";
        image->setExifData(exif);
        image->writeMetadata();
    }
    m_keepMetadata = 1;
    ASSERT_TRUE(convert("exif.jpg", ImageType::JPEG, "kept.jpg"));
    const ImageMetadata kept = ReadImageMetadata(readBytes(path("kept.jpg")));
    EXPECT_EQ(kept.dictionaries.value("{GPS}").value("GPSLatitudeRef").toString(), QStringLiteral("N"));
    EXPECT_EQ(kept.dictionaries.value("{GPS}").value("GPSLatitude").toString(), QStringLiteral("51/1 30/1 0/1"));
    EXPECT_EQ(kept.dictionaries.value("{Exif}").value("ExposureTime").toString(), QStringLiteral("1/125"));
    EXPECT_EQ(kept.dictionaries.value("{TIFF}").value("Make").toString(), QStringLiteral("Tomefold"));
    EXPECT_FALSE(kept.dictionaries.value("{TIFF}").contains("ImageWidth"));
    expectQuadrants(path("kept.jpg"), 40);

    ASSERT_TRUE(convert("exif.jpg", ImageType::TIFF, "kept.tif"));
    EXPECT_EQ(ReadImageMetadata(readBytes(path("kept.tif"))).dictionaries.value("{GPS}").value("GPSLatitudeRef").toString(),
              QStringLiteral("N"));
    expectQuadrants(path("kept.tif"), 40);

    ASSERT_TRUE(convert("exif.jpg", ImageType::BMP, "plain.bmp"));
    EXPECT_FALSE(readBytes(path("plain.bmp")).contains("Exif"));
    EXPECT_TRUE(ReadImageMetadata(readBytes(path("plain.bmp"))).dictionaries.isEmpty());
    expectQuadrants(path("plain.bmp"), 40);

    m_keepMetadata = 0;
    ASSERT_TRUE(convert("exif.jpg", ImageType::JPEG, "dropped.jpg"));
    EXPECT_FALSE(ReadImageMetadata(readBytes(path("dropped.jpg"))).dictionaries.contains("{GPS}"));
}

TEST_F(ImageWriting, AFailedMetadataWriteKeepsTheImage)
{
    QByteArray notAnImage("plainly not an image file at all");
    ImageMetadata metadata;
    metadata.dictionaries["{GPS}"].insert("GPSLatitudeRef", "N");
    const QByteArray before = notAnImage;
    EXPECT_FALSE(WriteMetadataInto(notAnImage, metadata, 1));
    EXPECT_EQ(notAnImage, before);
    // An unknown tag is left out; the rest is written.
    ASSERT_TRUE(writeJPEG(path("m.jpg"), quadrantImage(40, 20), 72, false));
    QByteArray jpeg = readBytes(path("m.jpg"));
    metadata.dictionaries["{Exif}"].insert("NoSuchTagAnywhere", "1");
    EXPECT_TRUE(WriteMetadataInto(jpeg, metadata, 6));
    const ImageMetadata written = ReadImageMetadata(jpeg);
    EXPECT_EQ(written.orientation, 6);
    EXPECT_EQ(written.dictionaries.value("{GPS}").value("GPSLatitudeRef").toString(), QStringLiteral("N"));
}

namespace {

void collect(const QByteArray& data, void* context)
{
    static_cast<QList<QByteArray>*>(context)->append(data);
}

} // namespace

TEST_F(ImageWriting, TheDataSinkTakesOneBufferPerImageAndNoFileIsWritten)
{
    ASSERT_TRUE(writeTIFF(path("three.tif"), {quadrantImage(40, 20), quadrantImage(40, 20), quadrantImage(40, 20)}, 72));
    QList<QByteArray> received;
    ImageConverter converter;
    ASSERT_TRUE(converter.LoadSourceImage(url("three.tif")));
    converter.SetOutputInfo(ImageType::JPEG, url("sink.jpg"), 0.8);
    converter.m_dataSink = collect;
    converter.m_dataSinkContext = &received;
    ImageSizeOptions size;
    size.resize = 1;
    size.unit = 1;
    size.width = size.height = 50;
    ASSERT_TRUE(converter.ConvertWithSize(size));
    ASSERT_EQ(received.size(), 3);
    for (const QByteArray& data : received) {
        ASSERT_TRUE(data.startsWith("\xFF\xD8"));
        const ImageRepList decoded = ReadImageData(data, ImageType::JPEG);
        ASSERT_EQ(decoded.size(), 1U);
        EXPECT_EQ(decoded.front()->pixelsWide(), 20);
    }
    EXPECT_FALSE(QFileInfo::exists(path("sink.jpg")));
    EXPECT_EQ(QDir(m_folder.path()).entryList(QDir::Files).size(), 1); // the source only
}

TEST_F(ImageWriting, KeptImageAndKeptBytes)
{
    ASSERT_TRUE(writePNG(path("k.png"), quadrantImage(40, 20), 72));
    ImageConverter converter;
    ASSERT_TRUE(converter.LoadSourceImage(url("k.png")));
    converter.SetOutputInfo(ImageType::PNG, url("k2.png"), 0.8);
    converter.m_keepImage = 1;
    ASSERT_TRUE(converter.WriteImage(converter.m_image));
    EXPECT_EQ(converter.m_resultImage, converter.m_image);
    EXPECT_FALSE(converter.WriteImage(nullptr));
    converter.m_keepImage = 0;
    converter.m_keepEncodedData = 1;
    ASSERT_TRUE(converter.WriteImage(converter.m_image));
    EXPECT_TRUE(converter.m_encodedData.startsWith("\x89PNG"));
    EXPECT_FALSE(QFileInfo::exists(path("k2.png")));
    QByteArray first;
    converter.m_usePixelSize = 1;
    ASSERT_TRUE(converter.EncodeFirstRepresentation(first));
    EXPECT_TRUE(first.startsWith("\x89PNG"));
}

TEST_F(ImageWriting, FileAttributesAndAtomicReplacement)
{
    const QDateTime when = QDateTime::fromSecsSinceEpoch(1500000000);
    QVariantMap attributes{{kFilePosixPermissions, 0640}, {kFileModificationDate, when}};
    ASSERT_TRUE(CreateOutputFile(path("a.bin"), "first", attributes));
    const QFileInfo info(path("a.bin"));
    EXPECT_EQ(info.lastModified().toSecsSinceEpoch(), 1500000000);
    EXPECT_TRUE(info.permission(QFileDevice::ReadGroup));
    EXPECT_FALSE(info.permission(QFileDevice::ReadOther));
    EXPECT_FALSE(info.permission(QFileDevice::WriteGroup));
    // A write that cannot happen leaves nothing behind.
    EXPECT_FALSE(CreateOutputFile(path("missing/folder/b.bin"), "x", {}));
    EXPECT_FALSE(QFileInfo::exists(path("missing")));
}
