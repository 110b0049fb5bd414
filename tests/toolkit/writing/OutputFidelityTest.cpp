// What a conversion keeps of its source: the type asked for (or the source's own), each page's
// resolution, sample depth, colour profile, metadata of every kind the output holds, the way up, and
// whole documents only.

#include "toolkit/ToolkitTestImages.h"
#include "toolkit/writing/WritingTestSupport.h"

#include "toolkit/Toolkit.h"
#include "toolkit/converter/ImageConverter.h"
#include "toolkit/converter/OutputFile.h"
#include "toolkit/helpers/ImageTypeCodes.h"

#include <gtest/gtest.h>

#include <QColorSpace>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QTemporaryDir>

#include <tiffio.h>

// exiv2 0.27 hands images out in std::auto_ptr, which the standard library keeps only as deprecated.
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <exiv2/exiv2.hpp>

using namespace ToolkitTestImages;
using namespace WritingTest;

namespace {

// Sets Exif tags (and a colour profile when given) on an existing file.
void tagFile(const QString& file, const std::map<std::string, std::string>& tags, const QByteArray& icc = {})
{
    auto image = Exiv2::ImageFactory::open(file.toStdString());
    image->readMetadata();
    Exiv2::ExifData exif = image->exifData();
    for (const auto& [key, value] : tags)
        exif[key] = value;
    image->setExifData(exif);
    if (!icc.isEmpty()) {
        Exiv2::DataBuf profile(reinterpret_cast<const Exiv2::byte*>(icc.constData()), static_cast<long>(icc.size()));
        image->setIccProfile(profile, false);
    }
    image->writeMetadata();
}

Exiv2::ExifData exifOf(const QString& file)
{
    auto image = Exiv2::ImageFactory::open(file.toStdString());
    image->readMetadata();
    return image->exifData();
}

QByteArray iccOf(const QString& file)
{
    auto image = Exiv2::ImageFactory::open(file.toStdString());
    image->readMetadata();
    const Exiv2::DataBuf* profile = image->iccProfile();
    if (!profile || profile->size_ <= 0)
        return {};
    return QByteArray(reinterpret_cast<const char*>(profile->pData_), profile->size_);
}

bool hasTag(const Exiv2::ExifData& exif, const char* key)
{
    return exif.findKey(Exiv2::ExifKey(key)) != exif.end();
}

// A TIFF whose pages each have their own resolution.
bool writePagesAt(const QString& file, const QList<double>& resolutions)
{
    TIFF* tiff = TIFFOpen(QFile::encodeName(file).constData(), "w");
    if (!tiff)
        return false;
    for (const double dpi : resolutions) {
        const QImage rgb = quadrantImage(16, 8).convertToFormat(QImage::Format_RGB888);
        TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, 16U);
        TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, 8U);
        TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, 3);
        TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 8);
        TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
        TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
        TIFFSetField(tiff, TIFFTAG_XRESOLUTION, static_cast<float>(dpi));
        TIFFSetField(tiff, TIFFTAG_YRESOLUTION, static_cast<float>(dpi));
        TIFFSetField(tiff, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
        TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, 8U);
        for (int y = 0; y < 8; ++y)
            TIFFWriteScanline(tiff, const_cast<uchar*>(rgb.constScanLine(y)), static_cast<uint32_t>(y), 0);
        TIFFWriteDirectory(tiff);
    }
    TIFFClose(tiff);
    return true;
}

class OutputFidelity : public ::testing::Test {
protected:
    QString path(const QString& name) const { return m_folder.filePath(name); }
    QUrl url(const QString& name) const { return QUrl::fromLocalFile(path(name)); }

    ImageConversionOptions options(const QString& source, const QString& destination, std::uint32_t type) const
    {
        ImageConversionOptions record;
        record.sourceURL = url(source);
        record.destinationURL = url(destination);
        record.outputType = type;
        record.quality = 0.9;
        return record;
    }

    QTemporaryDir m_folder;
};

} // namespace

TEST_F(OutputFidelity, ACMYKJPEGKeepsItsMetadataAndAttributes)
{
    ASSERT_TRUE(writeJPEG(path("inks.jpg"), quadrantImage(40, 20), 72, true));
    tagFile(path("inks.jpg"), {{"Exif.Image.Artist", "Ink Maker"}});
    ImageConversionOptions record = options("inks.jpg", "out.jpg", ImageType::JPEG);
    record.keepMetadata = 1;
    record.size = pixelBox(20, 10);
    record.fileAttributes.insert(kFilePosixPermissions, 0600);
    ASSERT_TRUE(ConvertImageWithOptions(&record));
    const auto back = readBack(path("out.jpg"));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->colorSpace(), ColorSpaceModel::CMYK);
    EXPECT_EQ(exifOf(path("out.jpg"))["Exif.Image.Artist"].toString(), "Ink Maker");
    const QFileDevice::Permissions permissions = QFile::permissions(path("out.jpg"));
    EXPECT_TRUE(permissions.testFlag(QFileDevice::WriteOwner));
    EXPECT_FALSE(permissions.testFlag(QFileDevice::ReadGroup));
    EXPECT_FALSE(permissions.testFlag(QFileDevice::ReadOther));
}

TEST_F(OutputFidelity, EachPageKeepsItsOwnResolution)
{
    ASSERT_TRUE(writePagesAt(path("pages.tif"), {72, 300, 150}));
    ImageConversionOptions record = options("pages.tif", "pages.png", ImageType::PNG);
    ASSERT_TRUE(ConvertImage(&record));
    const QStringList names{"pages.png", "pages 1.png", "pages 2.png"};
    const QList<double> expected{72, 300, 150};
    for (int i = 0; i < 3; ++i) {
        const auto page = readBack(path("pages/" + names[i]));
        ASSERT_TRUE(page) << names[i].toStdString();
        // PNG keeps dots per metre: 150 dpi comes back as 150.012.
        EXPECT_NEAR(page->dpiX(), expected[i], 0.02) << names[i].toStdString();
        EXPECT_NEAR(page->dpiY(), expected[i], 0.02) << names[i].toStdString();
    }
}

TEST_F(OutputFidelity, ADocumentMissingAPageReplacesNothing)
{
    ASSERT_TRUE(writeBytes(path("old.pdf"), "kept"));
    const auto page = std::make_shared<BitmapImageRep>(quadrantImage(30, 20), BitmapImageRep::Description{});
    const auto broken = std::make_shared<BitmapImageRep>(QImage(), BitmapImageRep::Description{});
    ImageConverter converter;
    converter.m_image = std::make_shared<Image>(ImageRepList{page, page, broken, page});
    converter.m_representations = converter.m_image->representations();
    converter.SetOutputInfo(ImageType::PDF, url("old.pdf"), 0.9);
    EXPECT_FALSE(converter.WriteAllRepresentations());
    EXPECT_EQ(readBytes(path("old.pdf")), QByteArray("kept"));
}

TEST_F(OutputFidelity, BothEntryPointsWriteWebPAndTypeZeroIsTheSourcesOwn)
{
    ASSERT_TRUE(writePNG(path("source.png"), quadrantImage(40, 20), 72));
    ImageConversionOptions webp = options("source.png", "out.webp", ImageType::WebP);
    webp.size = pixelBox(20, 10);
    ASSERT_TRUE(ConvertImageWithOptions(&webp));
    const QByteArray written = readBytes(path("out.webp"));
    EXPECT_TRUE(written.startsWith("RIFF") && written.mid(8, 4) == "WEBP");

    ImageConversionOptions own = options("source.png", "same.png", ImageType::None);
    ASSERT_TRUE(ConvertImage(&own));
    EXPECT_TRUE(readBytes(path("same.png")).startsWith("\x89PNG"));
}

TEST_F(OutputFidelity, MetadataOfEveryKindTheOutputHoldsTravels)
{
    // A PNG's text chunks.
    QImage picture = quadrantImage(40, 20);
    picture.setText(QStringLiteral("Title"), QStringLiteral("Quadrants"));
    ASSERT_TRUE(picture.save(path("text.png"), "PNG"));
    ImageConversionOptions png = options("text.png", "text-out.png", ImageType::PNG);
    png.keepMetadata = 1;
    ASSERT_TRUE(ConvertImage(&png));
    EXPECT_EQ(QImageReader(path("text-out.png")).text(QStringLiteral("Title")), QStringLiteral("Quadrants"));

    // A camera maker's notes.
    ASSERT_TRUE(writeJPEG(path("camera.jpg"), quadrantImage(40, 20), 72, false));
    tagFile(path("camera.jpg"), {{"Exif.Image.Make", "Canon"}, {"Exif.Canon.OwnerName", "Owner"}});
    const Exiv2::ExifData in = exifOf(path("camera.jpg"));
    ASSERT_TRUE(hasTag(in, "Exif.Canon.OwnerName"));
    ASSERT_EQ(in.findKey(Exiv2::ExifKey("Exif.Canon.OwnerName"))->toString(), "Owner");
    ImageConversionOptions jpeg = options("camera.jpg", "camera-out.jpg", ImageType::JPEG);
    jpeg.keepMetadata = 1;
    ASSERT_TRUE(ConvertImage(&jpeg));
    const Exiv2::ExifData out = exifOf(path("camera-out.jpg"));
    ASSERT_TRUE(hasTag(out, "Exif.Canon.OwnerName"));
    EXPECT_EQ(out.findKey(Exiv2::ExifKey("Exif.Canon.OwnerName"))->toString(), "Owner");
}

TEST_F(OutputFidelity, SixteenBitSamplesStaySixteenBitsInTIFF)
{
    QImage deep(16, 8, QImage::Format_RGBX64);
    deep.fill(QColor::fromRgba64(qRgba64(0x1234, 0x5678, 0x9ABC, 0xFFFF)));
    ASSERT_TRUE(deep.save(path("deep.png"), "PNG"));
    ImageConversionOptions record = options("deep.png", "deep.tif", ImageType::TIFF);
    ASSERT_TRUE(ConvertImage(&record));
    EXPECT_EQ(tiffTag(path("deep.tif"), TIFFTAG_BITSPERSAMPLE), 16);
    QImage back(path("deep.tif"));
    ASSERT_FALSE(back.isNull());
    EXPECT_EQ(back.pixelColor(3, 3).rgba64().red(), 0x1234);
}

TEST_F(OutputFidelity, TheSourcesColourProfileIsEmbedded)
{
    const QByteArray adobe = QColorSpace(QColorSpace::AdobeRgb).iccProfile();
    ASSERT_FALSE(adobe.isEmpty());
    ASSERT_TRUE(writeJPEG(path("adobe.jpg"), quadrantImage(40, 20), 72, false));
    tagFile(path("adobe.jpg"), {}, adobe);
    ASSERT_EQ(iccOf(path("adobe.jpg")), adobe);
    for (const auto& [type, name] : {std::pair{ImageType::PNG, "adobe.png"}, std::pair{ImageType::JPEG, "adobe-out.jpg"},
                                     std::pair{ImageType::TIFF, "adobe.tif"}}) {
        ImageConversionOptions record = options("adobe.jpg", name, type);
        ASSERT_TRUE(ConvertImage(&record)) << name;
        const auto back = readBack(path(name));
        ASSERT_TRUE(back) << name;
        EXPECT_EQ(QColorSpace::fromIccProfile(back->iccProfile()), QColorSpace(QColorSpace::AdobeRgb)) << name;
    }
    // Resampled in its own colour space, the picture keeps its profile too.
    ImageConversionOptions resized = options("adobe.jpg", "small.png", ImageType::PNG);
    resized.size = pixelBox(20, 10);
    ASSERT_TRUE(ConvertImageWithOptions(&resized));
    const auto small = readBack(path("small.png"));
    ASSERT_TRUE(small);
    EXPECT_EQ(QColorSpace::fromIccProfile(small->iccProfile()), QColorSpace(QColorSpace::AdobeRgb));
}

TEST_F(OutputFidelity, APortraitPhotoComesOutUpright)
{
    // Stored sideways (40 × 20) with orientation 6: shown turned a quarter clockwise, 20 × 40.
    ASSERT_TRUE(writeJPEG(path("phone.jpg"), quadrantImage(40, 20), 72, false));
    tagFile(path("phone.jpg"), {{"Exif.Image.Orientation", "6"}});
    ImageConversionOptions record = options("phone.jpg", "phone.png", ImageType::PNG);
    record.keepMetadata = 1;
    ASSERT_TRUE(ConvertImage(&record));
    const auto back = readBack(path("phone.png"));
    ASSERT_TRUE(back);
    ASSERT_EQ(back->image().size(), QSize(20, 40));
    // The red top-left quadrant is now top-right, the blue bottom-left one top-left.
    EXPECT_TRUE(near(pixelAt(back->image(), 15, 5), qRgb(255, 0, 0), 40));
    EXPECT_TRUE(near(pixelAt(back->image(), 5, 5), qRgb(0, 0, 255), 40));
    EXPECT_NE(back->metadata().orientation, 6);

    ImagesToPDFConversionOptions pdf;
    pdf.mergeIntoOne = 1;
    pdf.scalePercent = 100;
    pdf.outputType = ImageType::JPEG;
    pdf.quality = 0.9;
    pdf.items = {{{ConversionListKey::FilePath, url("phone.jpg")}}};
    pdf.destinationURL = url("phone.pdf");
    ASSERT_TRUE(ConvertImagesToPDF(&pdf));
    const auto page = PDFImageRep::fromData(readBytes(path("phone.pdf")));
    ASSERT_TRUE(page);
    EXPECT_LT(page->size().width(), page->size().height());
}

TEST_F(OutputFidelity, JPEGDensityIsRoundedNotTruncated)
{
    // 300 dpi in a PNG is 11811 dots a metre: 299.9994 dpi.
    ASSERT_TRUE(writePNG(path("fine.png"), quadrantImage(40, 20), 300));
    ImageConversionOptions record = options("fine.png", "fine.jpg", ImageType::JPEG);
    ASSERT_TRUE(ConvertImage(&record));
    const auto back = readBack(path("fine.jpg"));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->dpiX(), 300.0);
}

TEST_F(OutputFidelity, ImagesToPDFWithTheSourcesOwnTypeTakesEveryReadableFormat)
{
    const QImage picture = quadrantImage(40, 20);
    ASSERT_TRUE(picture.save(path("a.bmp"), "BMP"));
    ASSERT_TRUE(writeTGA(path("a.tga"), picture));
    ASSERT_TRUE(writePhotoshop(path("a.psd"), picture, 72));
    for (const char* name : {"a.bmp", "a.tga", "a.psd"}) {
        ImagesToPDFConversionOptions pdf;
        pdf.mergeIntoOne = 1;
        pdf.scalePercent = 100;
        pdf.items = {{{ConversionListKey::FilePath, url(name)}}};
        pdf.destinationURL = url(QString::fromLatin1(name) + ".pdf");
        EXPECT_TRUE(ConvertImagesToPDF(&pdf)) << name;
        const auto page = PDFImageRep::fromData(readBytes(path(QString::fromLatin1(name) + ".pdf")));
        ASSERT_TRUE(page) << name;
        EXPECT_EQ(page->pageCount(), 1) << name;
    }
}
