// Valid pictures as other programs write them, read as those programs read them: a resolution held only
// in Exif, TIFF pages stored turned, samples of 16 and 32 bits, inks of 16 bits.

#include "ToolkitTestImages.h"

#include "toolkit/converter/ImageConverter.h"
#include "toolkit/imageio/ImageFileReader.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

// exiv2 0.27 hands images out in std::auto_ptr, which the standard library keeps only as deprecated.
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <exiv2/exiv2.hpp>

using namespace ToolkitTestImages;

namespace {

class PictureFidelity : public ::testing::Test {
protected:
    QString path(const QString& name) const { return m_folder.filePath(name); }
    QUrl url(const QString& name) const { return QUrl::fromLocalFile(path(name)); }

    std::shared_ptr<BitmapImageRep> firstBitmap(const QString& name) const
    {
        const ImageRepList representations = ReadImageRepresentations(url(name));
        return representations.empty() ? nullptr : std::dynamic_pointer_cast<BitmapImageRep>(representations.front());
    }

    QTemporaryDir m_folder;
    const QImage m_picture = quadrantImage(40, 20);
};

// The JPEG without its JFIF segment, as cameras write them, and with an Exif resolution instead.
bool writeExifOnlyJPEG(const QString& path, const QImage& picture, bool cmyk, long resolution, uint16_t unit)
{
    if (!writeJPEG(path, picture, 0, cmyk))
        return false;
    QByteArray bytes = readBytes(path);
    if (bytes.mid(2, 2) == "\xFF\xE0") {
        const int length = (static_cast<unsigned char>(bytes[4]) << 8) | static_cast<unsigned char>(bytes[5]);
        bytes.remove(2, 2 + length);
    }
    if (!writeBytes(path, bytes))
        return false;
    auto image = Exiv2::ImageFactory::open(path.toStdString());
    Exiv2::ExifData exif;
    exif["Exif.Image.XResolution"] = Exiv2::Rational(static_cast<int32_t>(resolution), 1);
    exif["Exif.Image.YResolution"] = Exiv2::Rational(static_cast<int32_t>(resolution), 1);
    exif["Exif.Image.ResolutionUnit"] = unit;
    image->setExifData(exif);
    image->writeMetadata();
    return !readBytes(path).contains("JFIF");
}

} // namespace

TEST_F(PictureFidelity, AResolutionOnlyInExifIsTheFilesResolution)
{
    ASSERT_TRUE(writeExifOnlyJPEG(path("rgb.jpg"), m_picture, false, 200, 2));
    ASSERT_TRUE(writeExifOnlyJPEG(path("cmyk.jpg"), m_picture, true, 100, 3)); // dots per centimetre
    for (const char* name : {"rgb.jpg", "cmyk.jpg"}) {
        ImageConverter converter;
        ASSERT_TRUE(converter.LoadSourceImage(url(QString::fromLatin1(name)))) << name;
        const double expected = name[0] == 'r' ? 200 : 254;
        EXPECT_NEAR(converter.SourceDPIX(), expected, 1e-6) << name;
        EXPECT_NEAR(converter.SourceDPIY(), expected, 1e-6) << name;
    }
}
