// Sources whose every image is harmless but whose whole is not: a PNG chunk that claims gigabytes, an
// animation of many frames on a large canvas, a TIFF of endless pages. Each is refused whole, before it
// costs what it claims; files inside the bounds still read as before.

#include "ToolkitTestImages.h"

#include "toolkit/Toolkit.h"
#include "toolkit/helpers/ImageTypeCodes.h"
#include "toolkit/imageio/ImageFileReader.h"
#include "toolkit/imageio/SourceLimits.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QImageWriter>
#include <QTemporaryDir>

#include <zlib.h>

using namespace ToolkitTestImages;

namespace {

void PutBig32(QByteArray& out, quint32 value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.append(static_cast<char>((value >> shift) & 0xFF));
}

QByteArray PNGChunk(const char* type, const QByteArray& data)
{
    QByteArray chunk;
    PutBig32(chunk, static_cast<quint32>(data.size()));
    const QByteArray body = QByteArray(type, 4) + data;
    chunk.append(body);
    PutBig32(chunk, static_cast<quint32>(crc32(0, reinterpret_cast<const Bytef*>(body.constData()), static_cast<uInt>(body.size()))));
    return chunk;
}

// A one-pixel grey PNG, with the chunks given between its header and its pixels.
QByteArray OnePixelPNG(const QByteArray& extra)
{
    QByteArray header;
    PutBig32(header, 1);
    PutBig32(header, 1);
    header.append(QByteArray("\x08\x00\x00\x00\x00", 5));
    const QByteArray row("\x00\x80", 2);
    QByteArray packed(static_cast<qsizetype>(compressBound(2)), Qt::Uninitialized);
    uLongf packedSize = static_cast<uLongf>(packed.size());
    compress(reinterpret_cast<Bytef*>(packed.data()), &packedSize, reinterpret_cast<const Bytef*>(row.constData()), 2);
    packed.truncate(static_cast<qsizetype>(packedSize));
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + PNGChunk("IHDR", header) + extra + PNGChunk("IDAT", packed)
           + PNGChunk("IEND", {});
}

// A GIF of the given number of one-pixel frames on a square canvas of the given side.
QByteArray CanvasGIF(int side, int frames)
{
    QByteArray gif("GIF89a");
    gif.append(static_cast<char>(side & 0xFF));
    gif.append(static_cast<char>(side >> 8));
    gif.append(static_cast<char>(side & 0xFF));
    gif.append(static_cast<char>(side >> 8));
    gif.append(QByteArray("\x80\x00\x00\x00\x00\x00\xff\xff\xff", 9));
    for (int i = 0; i < frames; ++i) {
        gif.append(QByteArray("\x2c\x00\x00\x00\x00\x01\x00\x01\x00\x00", 10));
        gif.append(QByteArray("\x02\x02\x44\x01\x00", 5));
    }
    gif.append(';');
    return gif;
}

// A GIF of one good one-pixel frame and then frames whose pixel data cannot decode (their code size is
// past what LZW allows); a reader that scans the file counts them all.
QByteArray CanvasGIFWithUndecodableFrames(int side, int frames)
{
    QByteArray gif = CanvasGIF(side, 1);
    gif.chop(1);
    for (int i = 1; i < frames; ++i) {
        gif.append(QByteArray("\x2c\x00\x00\x00\x00\x01\x00\x01\x00\x00", 10));
        gif.append(QByteArray("\x0d\x02\x44\x01\x00", 5));
    }
    gif.append(';');
    return gif;
}

// A PNG of 8-bit grey zeros of the given size, compressed as it goes.
QByteArray GreyPNG(int width, int height)
{
    QByteArray header;
    PutBig32(header, static_cast<quint32>(width));
    PutBig32(header, static_cast<quint32>(height));
    header.append(QByteArray("\x08\x00\x00\x00\x00", 5));
    z_stream stream{};
    deflateInit(&stream, Z_BEST_SPEED);
    QByteArray row(width + 1, '\0');
    QByteArray packed;
    QByteArray buffer(1 << 16, Qt::Uninitialized);
    for (int y = 0; y < height; ++y) {
        stream.next_in = reinterpret_cast<Bytef*>(row.data());
        stream.avail_in = static_cast<uInt>(row.size());
        const int flush = y + 1 == height ? Z_FINISH : Z_NO_FLUSH;
        do {
            stream.next_out = reinterpret_cast<Bytef*>(buffer.data());
            stream.avail_out = static_cast<uInt>(buffer.size());
            deflate(&stream, flush);
            packed.append(buffer.constData(), buffer.size() - static_cast<qsizetype>(stream.avail_out));
        } while (stream.avail_out == 0);
    }
    deflateEnd(&stream);
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + PNGChunk("IHDR", header) + PNGChunk("IDAT", packed) + PNGChunk("IEND", {});
}

QStringList g_warnings;

void keepWarning(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtWarningMsg)
        g_warnings << message;
}

} // namespace

TEST(HostileSource, APNGChunkLongerThanTheFileIsRefusedBeforeItIsAllocated)
{
    // The chunk claims 2 GiB and holds ten bytes: libpng would allocate what it claims.
    QByteArray claim;
    PutBig32(claim, 0x7FFFFFFF);
    claim.append("iTXt");
    claim.append(QByteArray("Title\0\0\0\0\0", 10));
    QByteArray hostile("\x89PNG\r\n\x1a\n", 8);
    hostile.append(OnePixelPNG({}).mid(8, 25)); // the header chunk
    hostile.append(claim);
    EXPECT_TRUE(ReadImageBytes(hostile).empty());

    // A text chunk that fits is read as ever, and its text is kept.
    const auto representations = ReadImageBytes(OnePixelPNG(PNGChunk("tEXt", QByteArray("Title\0kept", 10))));
    ASSERT_EQ(representations.size(), 1U);
    const auto bitmap = std::dynamic_pointer_cast<BitmapImageRep>(representations.front());
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(bitmap->metadata().dictionaries.value(QStringLiteral("{PNG}")).value(QStringLiteral("Title")).toString(),
              QStringLiteral("kept"));
}

TEST(HostileSource, AnAnimationIsBoundedByWhatAllItsFramesDecodeTo)
{
    // Forty frames of one pixel, each decoded on a 4000 × 4000 canvas: 2.5 GB together.
    EXPECT_TRUE(ReadImageBytes(CanvasGIF(4000, 40)).empty());
    // The same frames on a small canvas are an ordinary animation.
    EXPECT_EQ(ReadImageBytes(CanvasGIF(40, 40)).size(), 40U);
    // Frames are counted and weighed as the file declares them, before any is decoded: 20,000 of them on
    // that canvas are refused, though only the first would decode.
    EXPECT_TRUE(ReadImageBytes(CanvasGIFWithUndecodableFrames(4000, 20000)).empty());
    EXPECT_TRUE(ReadImageBytes(CanvasGIFWithUndecodableFrames(4000, 100)).empty());
}

TEST(HostileSource, OneBoundOnWhatThePixelsTakeNamedWhenItRefuses)
{
    // 144 megapixels of 8-bit grey take 144 MB: well inside the bound, whatever their count of pixels.
    const auto grey = ReadImageBytes(GreyPNG(12000, 12000));
    ASSERT_EQ(grey.size(), 1U);
    EXPECT_EQ(grey.front()->pixelsWide(), 12000);

    // 30,000 × 30,000 RGBA pixels of 16 bits would take 7.2 GB: refused before decoding, saying why.
    QByteArray header;
    PutBig32(header, 30000);
    PutBig32(header, 30000);
    header.append(QByteArray("\x10\x06\x00\x00\x00", 5));
    const QByteArray huge = QByteArray("\x89PNG\r\n\x1a\n", 8) + PNGChunk("IHDR", header) + PNGChunk("IDAT", "x")
                            + PNGChunk("IEND", {});
    g_warnings.clear();
    const QtMessageHandler previous = qInstallMessageHandler(keepWarning);
    const bool refused = ReadImageBytes(huge).empty();
    qInstallMessageHandler(previous);
    EXPECT_TRUE(refused);
    ASSERT_EQ(g_warnings.size(), 1);
    EXPECT_TRUE(g_warnings.front().contains(QStringLiteral("2048 MiB"))) << g_warnings.front().toStdString();

    // A progressive JPEG holds its coefficients, two bytes a sample, beside its pixels while it decodes:
    // 16,000 × 16,000 RGB pixels take 768 MB, and with their coefficients 2.3 GB.
    QByteArray progressive;
    {
        QBuffer buffer(&progressive);
        ASSERT_TRUE(buffer.open(QIODevice::WriteOnly));
        QImageWriter writer(&buffer, "jpeg");
        writer.setProgressiveScanWrite(true);
        ASSERT_TRUE(writer.write(quadrantImage(16, 16)));
    }
    const qsizetype frame = progressive.indexOf(QByteArray::fromHex("ffc2"));
    ASSERT_GT(frame, 0);
    progressive.replace(frame + 5, 4, QByteArray::fromHex("3e803e80"));
    g_warnings.clear();
    qInstallMessageHandler(keepWarning);
    const bool progressiveRefused = ReadImageBytes(progressive).empty();
    qInstallMessageHandler(previous);
    EXPECT_TRUE(progressiveRefused);
    EXPECT_EQ(g_warnings.size(), 1);
}

TEST(HostileSource, ASourceOfMorePagesThanTheBoundIsRefusedAndWritesNothing)
{
    QTemporaryDir folder;
    const QImage page = quadrantImage(1, 1);
    const QList<QImage> tooMany(static_cast<qsizetype>(kMaxSourceRepresentations) + 1, page);
    ASSERT_TRUE(writeTIFF(folder.filePath("many.tif"), tooMany, 72));
    EXPECT_TRUE(ReadImageRepresentations(QUrl::fromLocalFile(folder.filePath("many.tif"))).empty());

    ImageConversionOptions options;
    options.sourceURL = QUrl::fromLocalFile(folder.filePath("many.tif"));
    options.destinationURL = QUrl::fromLocalFile(folder.filePath("out/page.png"));
    options.outputType = ImageType::PNG;
    EXPECT_FALSE(ConvertImage(&options));
    EXPECT_FALSE(QDir(folder.filePath("out")).exists());
    EXPECT_FALSE(QDir(folder.filePath("out/page")).exists());

    const QList<QImage> enough(20, page);
    ASSERT_TRUE(writeTIFF(folder.filePath("some.tif"), enough, 72));
    EXPECT_EQ(ReadImageRepresentations(QUrl::fromLocalFile(folder.filePath("some.tif"))).size(), 20U);
}
