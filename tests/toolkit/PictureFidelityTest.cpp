// Valid pictures as other programs write them, read as those programs read them: a resolution held only
// in Exif, TIFF pages stored turned, samples of 16 and 32 bits, inks of 16 bits.

#include "ToolkitTestImages.h"

#include "toolkit/Toolkit.h"
#include "toolkit/converter/ImageConverter.h"
#include "toolkit/helpers/ImageTypeCodes.h"
#include "toolkit/imageio/ImageFileReader.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <tiffio.h>

#include <cstring>

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

QStringList g_warnings;

void keepWarning(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtWarningMsg)
        g_warnings << message;
}

// One strip of samples as given (native byte order), with the tags a page needs.
struct RawPage {
    uint32_t width = 0;
    uint32_t height = 0;
    uint16_t samples = 3;
    uint16_t bits = 8;
    uint16_t format = SAMPLEFORMAT_UINT;
    uint16_t photometric = PHOTOMETRIC_RGB;
    uint16_t orientation = ORIENTATION_TOPLEFT;
    QByteArray data;
};

bool writeRawTIFF(const QString& path, const RawPage& page)
{
    TIFF* tiff = TIFFOpen(QFile::encodeName(path).constData(), "w");
    if (!tiff)
        return false;
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, page.width);
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, page.height);
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, page.samples);
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, page.bits);
    TIFFSetField(tiff, TIFFTAG_SAMPLEFORMAT, page.format);
    TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, page.photometric);
    TIFFSetField(tiff, TIFFTAG_ORIENTATION, page.orientation);
    TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, page.height);
    QByteArray data = page.data;
    const bool written = TIFFWriteEncodedStrip(tiff, 0, data.data(), data.size()) == data.size();
    TIFFClose(tiff);
    return written;
}

// 8-bit RGB samples of a picture, rows top first.
QByteArray rgbSamples(const QImage& picture)
{
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB888);
    QByteArray data;
    for (int y = 0; y < rgb.height(); ++y)
        data.append(reinterpret_cast<const char*>(rgb.constScanLine(y)), rgb.width() * 3);
    return data;
}

template <typename Sample>
QByteArray samplesOf(std::initializer_list<Sample> values)
{
    QByteArray data;
    for (const Sample value : values)
        data.append(reinterpret_cast<const char*>(&value), sizeof value);
    return data;
}

void putLittle(QByteArray& bytes, quint32 value, int size = 4)
{
    for (int i = 0; i < size; ++i)
        bytes.append(static_cast<char>((value >> (8 * i)) & 0xFF));
}

// A BMP with the info header of the given size (40 plus the masks after it, or 52 or 56 holding them),
// the compression, the bits a pixel, a palette, and rows as given, of the height given (negative: top
// row first).
QByteArray bmpFile(quint32 headerSize, quint32 compression, int bits, int width, int height, const QList<quint32>& masks,
                   const QList<QRgb>& palette, const QByteArray& rows)
{
    QByteArray info;
    putLittle(info, headerSize);
    putLittle(info, static_cast<quint32>(width));
    putLittle(info, static_cast<quint32>(height));
    putLittle(info, 1, 2);
    putLittle(info, static_cast<quint32>(bits), 2);
    putLittle(info, compression);
    putLittle(info, static_cast<quint32>(rows.size()));
    putLittle(info, 2835); // 72 dpi
    putLittle(info, 2835);
    putLittle(info, static_cast<quint32>(palette.size()));
    putLittle(info, 0);
    for (const quint32 mask : masks)
        putLittle(info, mask);
    for (const QRgb colour : palette)
        putLittle(info, colour & 0xFFFFFF); // blue, green, red, a zero byte
    QByteArray file("BM");
    putLittle(file, static_cast<quint32>(14 + info.size() + rows.size()));
    putLittle(file, 0);
    putLittle(file, static_cast<quint32>(14 + info.size()));
    return file + info + rows;
}

void putBig(QByteArray& bytes, quint32 value, int size = 4)
{
    for (int i = size - 1; i >= 0; --i)
        bytes.append(static_cast<char>((value >> (8 * i)) & 0xFF));
}

// A Photoshop file of one row, its planes raw, with a layer section that holds only the layer count.
QByteArray photoshopFile(int channels, int depth, int mode, int width, qint16 layerCount, const QByteArray& planes)
{
    QByteArray file("8BPS");
    putBig(file, 1, 2);
    file.append(QByteArray(6, '\0'));
    putBig(file, static_cast<quint32>(channels), 2);
    putBig(file, 1);
    putBig(file, static_cast<quint32>(width));
    putBig(file, static_cast<quint32>(depth), 2);
    putBig(file, static_cast<quint32>(mode), 2);
    putBig(file, 0); // colour mode data
    putBig(file, 0); // image resources
    putBig(file, 6);
    putBig(file, 2);
    putBig(file, static_cast<quint16>(layerCount), 2);
    putBig(file, 0, 2); // raw
    return file + planes;
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
    // A resolution written as text is no resolution.
    ASSERT_TRUE(writeExifOnlyJPEG(path("text.jpg"), m_picture, false, 200, 2));
    {
        auto image = Exiv2::ImageFactory::open(path("text.jpg").toStdString());
        image->readMetadata();
        Exiv2::ExifData exif = image->exifData();
        exif.erase(exif.findKey(Exiv2::ExifKey("Exif.Image.XResolution")));
        const Exiv2::AsciiValue text("300300");
        exif.add(Exiv2::ExifKey("Exif.Image.XResolution"), &text);
        image->setExifData(exif);
        image->writeMetadata();
    }
    ImageConverter text;
    ASSERT_TRUE(text.LoadSourceImage(url("text.jpg")));
    EXPECT_DOUBLE_EQ(text.SourceDPIX(), 72);
}

TEST_F(PictureFidelity, TIFFPagesTurnedAcrossADiagonalAreTransposed)
{
    // Stored 60 × 30 with red at the stored top-left; shown upright the picture is 30 × 60, and red
    // lands where each orientation puts the first stored pixel.
    const QImage stored = quadrantImage(60, 30);
    const QPoint redAt[] = {{0, 0}, {29, 0}, {29, 59}, {0, 59}}; // orientations 5, 6, 7, 8
    for (uint16_t orientation = 5; orientation <= 8; ++orientation) {
        const QString name = QStringLiteral("turned%1.tif").arg(orientation);
        ASSERT_TRUE(writeRawTIFF(path(name), {60, 30, 3, 8, SAMPLEFORMAT_UINT, PHOTOMETRIC_RGB, orientation, rgbSamples(stored)}));
        const auto bitmap = firstBitmap(name);
        ASSERT_TRUE(bitmap) << orientation;
        EXPECT_EQ(bitmap->image().size(), QSize(30, 60)) << orientation;
        const QPoint red = redAt[orientation - 5];
        EXPECT_EQ(pixelAt(bitmap->image(), red.x(), red.y()), qRgb(255, 0, 0)) << orientation;
    }
    // A bilevel page, read through libtiff's RGBA conversion, is transposed as well.
    QByteArray bits(4 * 2, '\0');
    bits[0] = static_cast<char>(0x80); // the first stored pixel white, every other black
    ASSERT_TRUE(writeRawTIFF(path("bilevel.tif"), {32, 2, 1, 1, SAMPLEFORMAT_UINT, PHOTOMETRIC_MINISBLACK, ORIENTATION_RIGHTTOP, bits}));
    const auto bilevel = firstBitmap("bilevel.tif");
    ASSERT_TRUE(bilevel);
    EXPECT_EQ(bilevel->image().size(), QSize(2, 32));
    EXPECT_EQ(pixelAt(bilevel->image(), 1, 0), qRgb(255, 255, 255));
}

TEST_F(PictureFidelity, DeepTIFFSamplesKeepTheirDepth)
{
    // 16-bit RGB: read as 16 bits and written as 16 bits.
    ASSERT_TRUE(writeRawTIFF(path("deep.tif"), {2, 1, 3, 16, SAMPLEFORMAT_UINT, PHOTOMETRIC_RGB, 1,
                                                samplesOf<uint16_t>({0x1234, 0x8001, 0xFFFF, 0, 0x00FF, 0x7F80})}));
    const auto deep = firstBitmap("deep.tif");
    ASSERT_TRUE(deep);
    EXPECT_EQ(deep->bitsPerComponent(), 16);
    EXPECT_EQ(deep->image().pixelColor(0, 0).rgba64(), qRgba64(0x1234, 0x8001, 0xFFFF, 0xFFFF));
    EXPECT_EQ(deep->image().pixelColor(1, 0).rgba64(), qRgba64(0, 0x00FF, 0x7F80, 0xFFFF));
    ImageConversionOptions options;
    options.sourceURL = url("deep.tif");
    options.destinationURL = url("out.tif");
    options.outputType = ImageType::TIFF;
    ASSERT_TRUE(ConvertImage(&options));
    const auto written = firstBitmap("out.tif");
    ASSERT_TRUE(written);
    EXPECT_EQ(written->bitsPerComponent(), 16);
    EXPECT_EQ(written->image().pixelColor(0, 0).rgba64(), qRgba64(0x1234, 0x8001, 0xFFFF, 0xFFFF));

    // 16-bit CMYK: the inks, to 8 bits.
    ASSERT_TRUE(writeRawTIFF(path("inks.tif"), {1, 1, 4, 16, SAMPLEFORMAT_UINT, PHOTOMETRIC_SEPARATED, 1,
                                                samplesOf<uint16_t>({0xFFFF, 0x8000, 0, 0x1000})}));
    const auto inks = firstBitmap("inks.tif");
    ASSERT_TRUE(inks);
    EXPECT_EQ(inks->colorSpace(), ColorSpaceModel::CMYK);
    EXPECT_EQ(inks->cmykSamples(), QByteArray::fromHex("ff800010"));

    // 32-bit floating-point grey, from 0 to 1 (past it, clamped).
    ASSERT_TRUE(writeRawTIFF(path("float.tif"), {4, 1, 1, 32, SAMPLEFORMAT_IEEEFP, PHOTOMETRIC_MINISBLACK, 1,
                                                 samplesOf<float>({0.0F, 0.5F, 1.0F, 7.0F})}));
    const auto floating = firstBitmap("float.tif");
    ASSERT_TRUE(floating);
    EXPECT_EQ(floating->colorSpace(), ColorSpaceModel::Grey);
    EXPECT_EQ(floating->image().format(), QImage::Format_Grayscale16);
    const auto* grey = reinterpret_cast<const uint16_t*>(floating->image().constScanLine(0));
    EXPECT_EQ(std::vector<uint16_t>(grey, grey + 4), (std::vector<uint16_t>{0, 32768, 65535, 65535}));

    // Signed 32-bit grey is read by no library here: refused, saying so.
    ASSERT_TRUE(writeRawTIFF(path("signed.tif"), {1, 1, 1, 32, SAMPLEFORMAT_INT, PHOTOMETRIC_MINISBLACK, 1, samplesOf<int32_t>({-5})}));
    g_warnings.clear();
    const QtMessageHandler previous = qInstallMessageHandler(keepWarning);
    const bool refused = ReadImageRepresentations(url("signed.tif")).empty();
    qInstallMessageHandler(previous);
    EXPECT_TRUE(refused);
    ASSERT_EQ(g_warnings.size(), 1);
    EXPECT_TRUE(g_warnings.front().startsWith(QStringLiteral("A TIFF page is not read: "))) << g_warnings.front().toStdString();

    // 12-bit grey, packed: the largest value is white.
    ASSERT_TRUE(writeRawTIFF(path("twelve.tif"), {2, 1, 1, 12, SAMPLEFORMAT_UINT, PHOTOMETRIC_MINISBLACK, 1, QByteArray::fromHex("fff800")}));
    const auto twelve = firstBitmap("twelve.tif");
    ASSERT_TRUE(twelve);
    const auto* packed = reinterpret_cast<const uint16_t*>(twelve->image().constScanLine(0));
    EXPECT_EQ(std::vector<uint16_t>(packed, packed + 2), (std::vector<uint16_t>{65535, 32776}));
}

TEST(PictureFidelityBMP, ShortV4HeadersAlphaBitFieldsAndTwoColourPalettes)
{
    // Two 32-bit pixels a row, two rows stored top first: red half-transparent, opaque green; blue, clear.
    QByteArray rows;
    for (const quint32 pixel : {0x80FF0000U, 0xFF00FF00U, 0xFF0000FFU, 0x00000000U})
        putLittle(rows, pixel);
    const QList<quint32> rgba = {0x00FF0000U, 0x0000FF00U, 0x000000FFU, 0xFF000000U};
    const QByteArray v3 = bmpFile(56, 3, 32, 2, -2, rgba, {}, rows);
    const QByteArray alphaBitFields = bmpFile(40, 6, 32, 2, -2, rgba, {}, rows);
    for (const QByteArray& file : {v3, alphaBitFields}) {
        const auto representations = ReadImageBytes(file, QStringLiteral("a.bmp"));
        ASSERT_EQ(representations.size(), 1U);
        const auto bitmap = std::dynamic_pointer_cast<BitmapImageRep>(representations.front());
        ASSERT_TRUE(bitmap);
        EXPECT_TRUE(bitmap->hasAlpha());
        const QImage straight = bitmap->image().convertToFormat(QImage::Format_ARGB32);
        EXPECT_EQ(straight.pixel(0, 0), qRgba(255, 0, 0, 128));
        EXPECT_EQ(straight.pixel(1, 0), qRgba(0, 255, 0, 255));
        EXPECT_EQ(straight.pixel(0, 1), qRgba(0, 0, 255, 255));
        EXPECT_EQ(qAlpha(straight.pixel(1, 1)), 0);
    }
    // The 52-byte header has no alpha mask: the padding byte is not alpha.
    const auto v2 = ReadImageBytes(bmpFile(52, 3, 32, 2, -2, rgba.mid(0, 3), {}, rows), QStringLiteral("a.bmp"));
    ASSERT_EQ(v2.size(), 1U);
    EXPECT_FALSE(v2.front()->hasAlpha());

    // A bilevel picture of a blue and a green: its colours, not grey.
    QByteArray bits;
    putLittle(bits, 0x80); // the first pixel green, the rest blue; one row padded to four bytes
    const auto twoColours = ReadImageBytes(bmpFile(40, 0, 1, 8, 1, {}, {qRgb(0, 0, 255), qRgb(0, 255, 0)}, bits), QStringLiteral("a.bmp"));
    ASSERT_EQ(twoColours.size(), 1U);
    const auto bilevel = std::dynamic_pointer_cast<BitmapImageRep>(twoColours.front());
    ASSERT_TRUE(bilevel);
    EXPECT_EQ(pixelAt(bilevel->image(), 0, 0), qRgb(0, 255, 0));
    EXPECT_EQ(pixelAt(bilevel->image(), 1, 0), qRgb(0, 0, 255));
}

TEST(PictureFidelityPhotoshop, MergedTransparencyAndFloatingPointGrey)
{
    // Red opaque, red half transparent (blended with white as Photoshop stores it), then clear. A negative
    // layer count says the fourth channel is the merged picture's transparency.
    const QByteArray planes = QByteArray::fromHex("ffff00"
                                                  "007f00"
                                                  "007f00"
                                                  "ff8000");
    const auto transparent = ReadImageBytes(photoshopFile(4, 8, 3, 3, -1, planes), QStringLiteral("a.psd"));
    ASSERT_EQ(transparent.size(), 1U);
    const auto bitmap = std::dynamic_pointer_cast<BitmapImageRep>(transparent.front());
    ASSERT_TRUE(bitmap);
    ASSERT_TRUE(bitmap->hasAlpha());
    const QImage straight = bitmap->image().convertToFormat(QImage::Format_ARGB32);
    EXPECT_EQ(straight.pixel(0, 0), qRgba(255, 0, 0, 255));
    EXPECT_EQ(straight.pixel(1, 0), qRgba(255, 0, 0, 128));
    EXPECT_EQ(qAlpha(straight.pixel(2, 0)), 0);
    // With a positive count the fourth channel is a saved selection, not transparency.
    const auto selection = ReadImageBytes(photoshopFile(4, 8, 3, 3, 1, planes), QStringLiteral("a.psd"));
    ASSERT_EQ(selection.size(), 1U);
    EXPECT_FALSE(selection.front()->hasAlpha());

    // 32-bit grey: floating point from 0 to 1, big-endian.
    QByteArray floats;
    for (const float value : {0.0F, 0.5F, 1.0F}) {
        quint32 bits = 0;
        std::memcpy(&bits, &value, sizeof bits);
        putBig(floats, bits);
    }
    const auto grey = ReadImageBytes(photoshopFile(1, 32, 1, 3, 0, floats), QStringLiteral("a.psd"));
    ASSERT_EQ(grey.size(), 1U);
    const auto greyBitmap = std::dynamic_pointer_cast<BitmapImageRep>(grey.front());
    ASSERT_TRUE(greyBitmap);
    EXPECT_EQ(greyBitmap->colorSpace(), ColorSpaceModel::Grey);
    EXPECT_EQ(pixelAt(greyBitmap->image(), 1, 0), qRgb(128, 128, 128));
    EXPECT_EQ(pixelAt(greyBitmap->image(), 2, 0), qRgb(255, 255, 255));
}

TEST_F(PictureFidelity, LabTIFFPagesBecomeSRGB)
{
    // White, black, and a strong red (L 53, a 80, b 67): a and b signed, as TIFF's L*a*b* stores them.
    ASSERT_TRUE(writeRawTIFF(path("lab.tif"), {3, 1, 3, 8, SAMPLEFORMAT_UINT, PHOTOMETRIC_CIELAB, 1, QByteArray::fromHex("ff0000"
                                                                                                                         "000000"
                                                                                                                         "875043")}));
    const auto lab = firstBitmap("lab.tif");
    ASSERT_TRUE(lab);
    const QRgb white = pixelAt(lab->image(), 0, 0);
    EXPECT_GE(std::min({qRed(white), qGreen(white), qBlue(white)}), 250);
    const QRgb black = pixelAt(lab->image(), 1, 0);
    EXPECT_LE(std::max({qRed(black), qGreen(black), qBlue(black)}), 2);
    const QRgb red = pixelAt(lab->image(), 2, 0);
    EXPECT_GT(qRed(red), 230);
    EXPECT_LT(qGreen(red), 40);
    EXPECT_LT(qBlue(red), 40);
}

TEST_F(PictureFidelity, SGIImagesAreKnownByTheirHeaderWhateverTheirName)
{
    for (const char* name : {"a.rgb", "a.bw", "a.rgba", "a.sgi"}) {
        ASSERT_TRUE(writeSGI(path(QString::fromLatin1(name)), m_picture, true));
        const auto bitmap = firstBitmap(QString::fromLatin1(name));
        ASSERT_TRUE(bitmap) << name;
        EXPECT_EQ(bitmap->image().size(), m_picture.size()) << name;
    }
}
