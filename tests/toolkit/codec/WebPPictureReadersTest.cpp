#include "toolkit/codec/CodecTestImages.h"
#include "toolkit/codec/PNGRawProfile.h"
#include "toolkit/codec/WebPPictureReaders.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include <jpeglib.h>
#include <png.h>
#include <tiffio.h>
#include <zlib.h>

using namespace CodecTestImages;

namespace {

class WebPPictureReadersTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(WebPPictureInit(&m_picture)); }
    void TearDown() override { WebPPictureFree(&m_picture); }

    QString path(const char* name) const { return m_folder.filePath(QString::fromLatin1(name)); }

    int read(const QString& file, int keepAlpha = 1)
    {
        WebPPictureFree(&m_picture);
        WebPPictureInit(&m_picture);
        m_picture.use_argb = 1; // as for lossless encoding: the pixels as they were read
        m_metadata = Metadata{};
        return ReadPicture(QFile::encodeName(file).constData(), &m_picture, keepAlpha, &m_metadata);
    }

    // The picture's pixels as R, G, B, A bytes.
    CodecBuffer rgba()
    {
        CodecBuffer bytes;
        for (int y = 0; y < m_picture.height; ++y) {
            for (int x = 0; x < m_picture.width; ++x) {
                const uint32_t argb = m_picture.argb[y * m_picture.argb_stride + x];
                bytes.insert(bytes.end(), {static_cast<uint8_t>(argb >> 16), static_cast<uint8_t>(argb >> 8),
                                           static_cast<uint8_t>(argb), static_cast<uint8_t>(argb >> 24)});
            }
        }
        return bytes;
    }

    QString writeRGBPNG(std::vector<PNGText> texts, bool interlaced = false) const
    {
        PNGSpec spec{16, 8, PNG_COLOR_TYPE_RGB, 8, interlaced, Gradient(16, 8, 3), false, std::move(texts), {}};
        EXPECT_TRUE(WritePNG(path("in.png"), spec));
        return path("in.png");
    }

    QTemporaryDir m_folder;
    WebPPicture m_picture{};
    Metadata m_metadata;
};

CodecBuffer Bytes(const std::string& text)
{
    return CodecBuffer(text.begin(), text.end());
}

CodecBuffer WithAlpha(const CodecBuffer& rgb)
{
    CodecBuffer out;
    for (size_t i = 0; i < rgb.size(); i += 3)
        out.insert(out.end(), {rgb[i], rgb[i + 1], rgb[i + 2], 255});
    return out;
}

} // namespace

TEST_F(WebPPictureReadersTest, PNGTransparencyAndInterlacingAreRead)
{
    CodecBuffer grey = Gradient(16, 8, 1);
    grey[5] = 0;
    PNGSpec spec{16, 8, PNG_COLOR_TYPE_GRAY, 8, false, grey, true, {}, {}};
    ASSERT_TRUE(WritePNG(path("grey.png"), spec));
    ASSERT_EQ(read(path("grey.png")), 1);
    EXPECT_TRUE(WebPPictureHasTransparency(&m_picture));
    EXPECT_EQ(rgba()[5 * 4 + 3], 0);
    ASSERT_EQ(read(path("grey.png"), 0), 1);
    EXPECT_FALSE(WebPPictureHasTransparency(&m_picture));
    EXPECT_EQ(rgba()[6 * 4 + 1], grey[6]);

    ASSERT_EQ(read(writeRGBPNG({}, true)), 1);
    EXPECT_EQ(rgba(), WithAlpha(Gradient(16, 8, 3)));
}

TEST_F(WebPPictureReadersTest, PNGTextChunksCarryEXIFAndXMP)
{
    const std::string exif = "\nexif\n       6\n4578\n69660000\n";
    const std::string xmp = "<x:xmpmeta xmlns:x='adobe:ns:meta/'/>";
    ASSERT_EQ(read(writeRGBPNG({{"Raw profile type exif", exif}, {"Raw profile type APP1", "\napp1\n2\nFFFF\n"}, {"XML:com.adobe.xmp", xmp, true}})), 1);
    // The second EXIF source is ignored: the first one wins.
    EXPECT_EQ(m_metadata.exif, Bytes(std::string("Exif\0\0", 6)));
    EXPECT_EQ(m_metadata.xmp, Bytes(xmp));
    EXPECT_TRUE(m_metadata.iccp.empty());

    // A count the hexadecimal data cannot meet fails the whole read and leaves no metadata.
    EXPECT_EQ(read(writeRGBPNG({{"Raw profile type xmp", "\nxmp\n10\n41424344\n"}})), 0);
    EXPECT_TRUE(m_metadata.xmp.empty());
}

TEST(PNGRawProfile, ParsesWhatImageToolsWriteAndRefusesTheRest)
{
    CodecBuffer payload;
    const auto process = [&](const std::string& text) { return ProcessRawProfile(text.data(), text.size(), &payload); };
    EXPECT_EQ(process("\nname\n   3\nab\ncd\nef"), 1);
    EXPECT_EQ(payload, (CodecBuffer{0xAB, 0xCD, 0xEF}));
    payload.clear();
    EXPECT_EQ(process("name\n3\nabcdef"), 0);  // no leading line feed
    EXPECT_EQ(process("\nname\n3 abcdef"), 0); // count not ended by a line feed
    EXPECT_EQ(process("\nname\n3\nabzz"), 0);  // not hexadecimal
    EXPECT_EQ(process("\nname\n99999999999999999999999\nab"), 0);
    EXPECT_EQ(process("\nname"), 0);
    EXPECT_EQ(process("\n"), 0);
    EXPECT_EQ(ProcessRawProfile(nullptr, 4, &payload), 0);
    EXPECT_TRUE(payload.empty());
}

TEST_F(WebPPictureReadersTest, JPEGMarkersCarryTheProfileInSequenceAndEXIFAndXMP)
{
    // Grey in RGB: no chroma for JPEG's subsampling to blur.
    CodecBuffer pixels;
    for (const uint8_t level : Gradient(16, 8, 1))
        pixels.insert(pixels.end(), {level, level, level});
    const CodecBuffer first = Bytes("first segment;");
    const CodecBuffer second = Bytes("second segment");
    CodecBuffer xmp = Bytes(std::string("http://ns.adobe.com/xap/1.0/\0<xmp/>", 35));
    ASSERT_TRUE(WriteJPEG(path("in.jpg"), 16, 8, 3, pixels,
                          {ICCMarker(2, 2, second), ExifMarker(Bytes("II*")), ICCMarker(1, 2, first),
                           JPEGMarker{JPEG_APP0 + 1, xmp}}));
    ASSERT_EQ(read(path("in.jpg")), 1);
    CodecBuffer joined = first;
    joined.insert(joined.end(), second.begin(), second.end());
    EXPECT_EQ(m_metadata.iccp, joined);
    EXPECT_EQ(m_metadata.exif, Bytes("II*"));
    EXPECT_EQ(m_metadata.xmp, Bytes("<xmp/>"));
    EXPECT_LE(MeanDifference(rgba(), WithAlpha(pixels)), 3.0);

    // Inconsistent segments fail the read.
    const std::vector<std::vector<JPEGMarker>> broken = {
        {ICCMarker(1, 3, first), ICCMarker(3, 3, second)}, // discontinuous
        {ICCMarker(1, 2, first), ICCMarker(1, 2, second)}, // duplicate
        {ICCMarker(1, 2, first), ICCMarker(2, 3, second)}, // inconsistent count
        {ICCMarker(1, 2, first)},                          // fewer than the count
        {ICCMarker(0, 1, first)},                          // sequence number 0
    };
    for (const auto& markers : broken) {
        ASSERT_TRUE(WriteJPEG(path("bad.jpg"), 16, 8, 3, pixels, markers));
        EXPECT_EQ(read(path("bad.jpg")), 0);
        EXPECT_TRUE(m_metadata.iccp.empty());
    }
}

TEST_F(WebPPictureReadersTest, UnsupportedFilesAreRefused)
{
    ASSERT_TRUE(WriteJPEG(path("cmyk.jpg"), 16, 8, 4, Gradient(16, 8, 4)));
    EXPECT_EQ(read(path("cmyk.jpg")), 0);
    ASSERT_TRUE(WriteWholeFile(path("in.gif"), Bytes("GIF89a\x01\0\x01\0\0\0\0;")));
    EXPECT_EQ(read(path("in.gif")), 0);
    ASSERT_TRUE(WriteWholeFile(path("in.bmp"), Bytes("BM6\0\0\0\0\0\0\0")));
    EXPECT_EQ(read(path("in.bmp")), 0);
    EXPECT_EQ(read(path("missing.png")), 0);
    ASSERT_TRUE(WriteWholeFile(path("short"), Bytes("\x89P")));
    EXPECT_EQ(read(path("short")), 0);
}

TEST_F(WebPPictureReadersTest, MultiPageTIFFsGiveTheirFirstPage)
{
    const CodecBuffer first = Gradient(16, 8, 3);
    ASSERT_TRUE(WriteTIFF(path("pages.tif"), {TIFFPage{16, 8, 3, 0, first, SRGBProfile(), false},
                                              TIFFPage{4, 4, 3, 0, Gradient(4, 4, 3), {}, false}}));
    ASSERT_EQ(read(path("pages.tif")), 1);
    EXPECT_EQ(m_picture.width, 16);
    EXPECT_EQ(rgba(), WithAlpha(first));
    EXPECT_EQ(m_metadata.iccp, SRGBProfile());
}

TEST_F(WebPPictureReadersTest, DamagedAndHostileFilesFailCleanly)
{
    ASSERT_TRUE(WriteJPEG(path("in.jpg"), 16, 8, 3, Gradient(16, 8, 3)));
    writeRGBPNG({});
    ASSERT_TRUE(WriteTIFF(path("in.tif"), {TIFFPage{16, 8, 3, 0, Gradient(16, 8, 3), {}, false}}));
    for (const char* name : {"in.jpg", "in.png", "in.tif"}) {
        const CodecBuffer whole = ReadWholeFile(path(name));
        for (size_t length = 4; length < whole.size(); length += 13) {
            const CodecBuffer prefix(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(length));
            ASSERT_TRUE(WriteWholeFile(path("cut"), prefix));
            const int result = read(path("cut"));
            EXPECT_TRUE(result == 0 || result == 1) << name << " " << length;
        }
    }

    // A PNG header claiming 20000 × 20000 pixels (with a correct checksum) is refused before reading rows.
    CodecBuffer png = ReadWholeFile(path("in.png"));
    for (size_t offset : {16, 20}) {
        png[offset] = 0;
        png[offset + 1] = 0;
        png[offset + 2] = 0x4E;
        png[offset + 3] = 0x20;
    }
    const uLong crc = crc32(0, png.data() + 12, 17);
    for (int i = 0; i < 4; ++i)
        png[29 + static_cast<size_t>(i)] = static_cast<uint8_t>(crc >> (24 - 8 * i));
    ASSERT_TRUE(WriteWholeFile(path("huge.png"), png));
    EXPECT_EQ(read(path("huge.png")), 0);

    // A TIFF directory claiming 65535 × 65535 pixels.
    CodecBuffer tiff = ReadWholeFile(path("in.tif"));
    for (uint8_t tag : {0x00, 0x01}) { // ImageWidth 256, ImageLength 257: SHORT, count 1
        const uint8_t entry[] = {tag, 0x01, 0x03, 0x00, 0x01, 0x00, 0x00, 0x00};
        const auto found = std::search(tiff.begin(), tiff.end(), std::begin(entry), std::end(entry));
        ASSERT_NE(found, tiff.end());
        found[8] = 0xFF;
        found[9] = 0xFF;
    }
    ASSERT_TRUE(WriteWholeFile(path("huge.tif"), tiff));
    EXPECT_EQ(read(path("huge.tif")), 0);
}
