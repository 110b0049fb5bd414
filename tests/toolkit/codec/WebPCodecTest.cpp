#include "toolkit/codec/CodecTestImages.h"
#include "toolkit/codec/WebPCodec.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstring>

#include <png.h>
#include <webp/mux.h>
#include <tiffio.h>

using namespace CodecTestImages;

namespace {

constexpr uint32_t kWidth = 23;
constexpr uint32_t kHeight = 17;

class WebPCodecTest : public ::testing::Test {
protected:
    QString path(const char* name) const { return m_folder.filePath(QString::fromLatin1(name)); }
    static std::string local(const QString& path) { return QFile::encodeName(path).toStdString(); }

    QStringList filesInFolder() const { return QDir(m_folder.path()).entryList(QDir::Files | QDir::Hidden); }

    static WebPConfig config(bool lossless)
    {
        WebPConfig config;
        WebPConfigInit(&config);
        config.lossless = lossless ? 1 : 0;
        config.exact = 1; // keep the colour under transparent pixels, so lossless means identical
        config.quality = 90;
        return config;
    }

    int encode(const QString& input, const QString& output, bool lossless, int flags) const
    {
        const WebPConfig settings = config(lossless);
        const std::string in = local(input);
        const std::string out = local(output);
        return EncodeImageFileToWebP(in.c_str(), output.isEmpty() ? nullptr : out.c_str(), &settings, flags);
    }

    // Decodes to straight RGBA.
    static CodecBuffer decodeRGBA(const CodecBuffer& webp, int* result = nullptr)
    {
        WebPDecoderConfig config;
        WebPInitDecoderConfig(&config);
        const int status = DecodeWebPToRGBA(webp.data(), webp.size(), &config);
        if (result)
            *result = status;
        CodecBuffer pixels;
        if (status == 0)
            pixels.assign(config.output.u.RGBA.rgba, config.output.u.RGBA.rgba + config.output.u.RGBA.size);
        WebPFreeDecBuffer(&config.output);
        return pixels;
    }

    static int decodeToTiff(const CodecBuffer& webp, const QString& tiffPath)
    {
        WebPDecoderConfig config;
        WebPInitDecoderConfig(&config);
        const std::string out = local(tiffPath);
        return DecodeWebPToTiffFile(webp.data(), webp.size(), &config, tiffPath.isEmpty() ? nullptr : out.c_str());
    }

    QString writeRGBAPNG(const CodecBuffer& rgba, const CodecBuffer& icc = {}) const
    {
        PNGSpec spec;
        spec.width = kWidth;
        spec.height = kHeight;
        spec.colourType = PNG_COLOR_TYPE_RGB_ALPHA;
        spec.samples = rgba;
        spec.iccProfile = icc;
        EXPECT_TRUE(WritePNG(path("in.png"), spec));
        return path("in.png");
    }

    QTemporaryDir m_folder;
};

uint32_t LittleEndian32(const CodecBuffer& bytes, size_t at)
{
    return uint32_t{bytes[at]} | (uint32_t{bytes[at + 1]} << 8) | (uint32_t{bytes[at + 2]} << 16) | (uint32_t{bytes[at + 3]} << 24);
}

std::string FourCC(const CodecBuffer& bytes, size_t at)
{
    return bytes.size() >= at + 4 ? std::string(reinterpret_cast<const char*>(bytes.data() + at), 4) : std::string();
}

// The chunk types of a RIFF WebP file in order, each with its size field.
std::vector<std::pair<std::string, uint32_t>> Chunks(const CodecBuffer& webp)
{
    std::vector<std::pair<std::string, uint32_t>> chunks;
    size_t at = 12;
    while (at + 8 <= webp.size()) {
        const uint32_t size = LittleEndian32(webp, at + 4);
        chunks.emplace_back(FourCC(webp, at), size);
        at += 8 + size + (size & 1);
    }
    return chunks;
}

} // namespace

TEST_F(WebPCodecTest, LosslessPNGsWithAlphaRoundTripExactly)
{
    const CodecBuffer rgba = Gradient(kWidth, kHeight, 4);
    ASSERT_EQ(encode(writeRGBAPNG(rgba), path("out.webp"), true, 0), 0);
    EXPECT_EQ(decodeRGBA(ReadWholeFile(path("out.webp"))), rgba);

    // 16-bit samples keep their high byte.
    PNGSpec deep;
    deep.width = kWidth;
    deep.height = kHeight;
    deep.colourType = PNG_COLOR_TYPE_RGB_ALPHA;
    deep.bitDepth = 16;
    for (const uint8_t value : rgba) {
        deep.samples.push_back(value);
        deep.samples.push_back(static_cast<uint8_t>(255 - value));
    }
    ASSERT_TRUE(WritePNG(path("deep.png"), deep));
    ASSERT_EQ(encode(path("deep.png"), path("deep.webp"), true, 0), 0);
    EXPECT_EQ(decodeRGBA(ReadWholeFile(path("deep.webp"))), rgba);
}

TEST_F(WebPCodecTest, LossyEncodingStaysCloseAndKeepsAlpha)
{
    CodecBuffer rgba = Gradient(kWidth, kHeight, 4);
    ASSERT_EQ(encode(writeRGBAPNG(rgba), path("out.webp"), false, 0), 0);
    const CodecBuffer decoded = decodeRGBA(ReadWholeFile(path("out.webp")));
    ASSERT_EQ(decoded.size(), rgba.size());
    for (size_t i = 3; i < rgba.size(); i += 4)
        EXPECT_NEAR(decoded[i], rgba[i], 1) << i;
    // Colour only where the pixel is opaque enough to carry it.
    double total = 0;
    int counted = 0;
    for (size_t i = 0; i < rgba.size(); i += 4) {
        if (rgba[i + 3] < 128)
            continue;
        for (size_t c = 0; c < 3; ++c)
            total += std::abs(int{decoded[i + c]} - int{rgba[i + c]});
        counted += 3;
    }
    ASSERT_GT(counted, 0);
    // A small picture of steep colour ramps: lossy coding with halved chroma is rough on it.
    EXPECT_LE(total / counted, 12.0);
}

TEST_F(WebPCodecTest, SelectedMetadataTravelsInChunksAfterTheImage)
{
    // An odd-sized EXIF payload, and an ICC profile that only flags 2 would take.
    const CodecBuffer exif{'M', 'M', 0, 42, 0, 0, 0, 8, 7};
    const CodecBuffer pixels = Gradient(kWidth, kHeight, 3);
    ASSERT_TRUE(WriteJPEG(path("in.jpg"), kWidth, kHeight, 3, pixels,
                          {ExifMarker(exif), ICCMarker(1, 1, Gradient(40, 1, 1))}));
    ASSERT_EQ(encode(path("in.jpg"), path("out.webp"), false, kWebPMetadataEXIF), 0);
    const CodecBuffer webp = ReadWholeFile(path("out.webp"));
    ASSERT_GE(webp.size(), 30u);
    EXPECT_EQ(FourCC(webp, 0), "RIFF");
    EXPECT_EQ(LittleEndian32(webp, 4), webp.size() - 8);
    const auto chunks = Chunks(webp);
    ASSERT_EQ(chunks.size(), 3u);
    EXPECT_EQ(chunks[0].first, "VP8X");
    EXPECT_EQ(webp[20], 0x08);
    EXPECT_EQ(LittleEndian32(webp, 24) & 0xFFFFFF, kWidth - 1);
    EXPECT_EQ(chunks[1].first, "VP8 ");
    EXPECT_EQ(chunks[2], std::make_pair(std::string("EXIF"), uint32_t{9}));
    EXPECT_EQ(CodecBuffer(webp.end() - 10, webp.end() - 1), exif);
    EXPECT_EQ(webp.back(), 0);
}

TEST_F(WebPCodecTest, LosslessAlphaWithAProfileFlagsBoth)
{
    const CodecBuffer icc = SRGBProfile();
    ASSERT_EQ(encode(writeRGBAPNG(Gradient(kWidth, kHeight, 4), icc), path("out.webp"), true, kWebPMetadataICC), 0);
    const CodecBuffer webp = ReadWholeFile(path("out.webp"));
    const auto chunks = Chunks(webp);
    ASSERT_EQ(chunks.size(), 3u);
    EXPECT_EQ(chunks[0].first, "VP8X");
    EXPECT_EQ(webp[20], 0x20 | 0x10);
    EXPECT_EQ(chunks[1], std::make_pair(std::string("ICCP"), static_cast<uint32_t>(icc.size())));
    EXPECT_EQ(chunks[2].first, "VP8L");
}

TEST_F(WebPCodecTest, FilesWithoutSelectedMetadataKeepTheEncodersBytes)
{
    // A PNG without metadata, and a TIFF whose EXIF directory the reader does not collect.
    ASSERT_EQ(encode(writeRGBAPNG(Gradient(kWidth, kHeight, 4)), path("png.webp"), true, kWebPMetadataEXIF), 0);
    TIFFPage page{kWidth, kHeight, 3, 0, Gradient(kWidth, kHeight, 3), {}, true};
    ASSERT_TRUE(WriteTIFF(path("in.tif"), {page}));
    ASSERT_EQ(encode(path("in.tif"), path("tif.webp"), true, kWebPMetadataEXIF), 0);
    for (const char* name : {"png.webp", "tif.webp"}) {
        const auto chunks = Chunks(ReadWholeFile(path(name)));
        ASSERT_EQ(chunks.size(), 1u) << name;
        EXPECT_EQ(chunks[0].first, "VP8L");
    }
    EXPECT_EQ(decodeRGBA(ReadWholeFile(path("tif.webp"))).size(), size_t{kWidth} * kHeight * 4);
}

TEST_F(WebPCodecTest, TIFFAlphaComesThroughStraightNotPremultiplied)
{
    CodecBuffer rgba = Gradient(kWidth, kHeight, 4);
    for (size_t i = 3; i < rgba.size(); i += 4)
        rgba[i] = static_cast<uint8_t>(128 + (i / 4) % 128); // semi-transparent everywhere
    TIFFPage page{kWidth, kHeight, 4, EXTRASAMPLE_UNASSALPHA, rgba, {}, false};
    ASSERT_TRUE(WriteTIFF(path("in.tif"), {page}));
    ASSERT_EQ(encode(path("in.tif"), path("out.webp"), true, 0), 0);
    const CodecBuffer decoded = decodeRGBA(ReadWholeFile(path("out.webp")));
    EXPECT_LE(MaxDifference(decoded, rgba), 1);

    // Without alpha the colours come through exactly.
    const CodecBuffer rgb = Gradient(kWidth, kHeight, 3);
    ASSERT_TRUE(WriteTIFF(path("rgb.tif"), {TIFFPage{kWidth, kHeight, 3, 0, rgb, {}, false}}));
    ASSERT_EQ(encode(path("rgb.tif"), path("rgb.webp"), true, 0), 0);
    const CodecBuffer opaque = decodeRGBA(ReadWholeFile(path("rgb.webp")));
    ASSERT_EQ(opaque.size(), rgb.size() / 3 * 4);
    for (size_t p = 0; p < rgb.size() / 3; ++p) {
        ASSERT_EQ(std::memcmp(&opaque[p * 4], &rgb[p * 3], 3), 0) << p;
        ASSERT_EQ(opaque[p * 4 + 3], 255);
    }
}

TEST_F(WebPCodecTest, EncoderFailuresWriteNothing)
{
    const QString input = writeRGBAPNG(Gradient(kWidth, kHeight, 4));
    EXPECT_EQ(encode(input, QString(), true, kWebPMetadataEXIF), 0);
    EXPECT_EQ(filesInFolder(), QStringList{"in.png"});

    WebPConfig invalid = config(false);
    invalid.quality = 300;
    const std::string in = local(input);
    EXPECT_EQ(EncodeImageFileToWebP(in.c_str(), nullptr, &invalid, 0), kWebPEncodeInvalidConfig);
    EXPECT_EQ(encode(path("missing.png"), path("out.webp"), true, 0), kWebPEncodeUnreadableInput);
    ASSERT_TRUE(WriteWholeFile(path("notes.txt"), {'h', 'e', 'l', 'l', 'o'}));
    EXPECT_EQ(encode(path("notes.txt"), path("out.webp"), true, 0), kWebPEncodeUnreadableInput);
    EXPECT_EQ(encode(input, path("no/such/folder/out.webp"), true, 0), kWebPEncodeOutputOpenFailed);
    EXPECT_EQ(filesInFolder(), (QStringList{"in.png", "notes.txt"}));
}

TEST_F(WebPCodecTest, DecodedPicturesBecomeUncompressedTIFFs)
{
    for (const bool alpha : {false, true}) {
        const QString input = alpha ? writeRGBAPNG(Gradient(kWidth, kHeight, 4)) : path("in.jpg");
        if (!alpha) {
            ASSERT_TRUE(WriteJPEG(input, kWidth, kHeight, 3, Gradient(kWidth, kHeight, 3)));
        }
        ASSERT_EQ(encode(input, path("out.webp"), true, 0), 0);
        const CodecBuffer webp = ReadWholeFile(path("out.webp"));
        ASSERT_EQ(decodeToTiff(webp, path("out.tif")), 0);

        const CodecBuffer tiff = ReadWholeFile(path("out.tif"));
        const size_t samples = alpha ? 4 : 3;
        ASSERT_EQ(tiff.size(), 210 + samples * kWidth * kHeight);
        EXPECT_EQ(tiff[8], alpha ? 15 : 14);
        // libtiff reads it back to the pixels the decoder gives.
        TIFF* file = TIFFOpen(local(path("out.tif")).c_str(), "r");
        ASSERT_NE(file, nullptr);
        uint16_t samplesPerPixel = 0;
        TIFFGetField(file, TIFFTAG_SAMPLESPERPIXEL, &samplesPerPixel);
        EXPECT_EQ(samplesPerPixel, samples);
        std::vector<uint32_t> raster(kWidth * kHeight);
        EXPECT_TRUE(TIFFReadRGBAImageOriented(file, kWidth, kHeight, raster.data(), ORIENTATION_TOPLEFT, 1));
        TIFFClose(file);
        // With alpha the file holds premultiplied colour, as its ExtraSamples entry says.
        const CodecBuffer rgba = decodeRGBA(webp);
        for (size_t p = 0; p < raster.size(); ++p) {
            const uint32_t a = rgba[p * 4 + 3];
            ASSERT_EQ(TIFFGetA(raster[p]), a);
            ASSERT_NEAR(TIFFGetG(raster[p]), (rgba[p * 4 + 1] * a + 127) / 255, 1) << p;
        }
    }
}

TEST_F(WebPCodecTest, BadWebPBytesFailAndLeaveNoFile)
{
    int width = 0;
    int height = 0;
    EXPECT_EQ(decodeToTiff({}, path("a.tif")), kWebPDecodeNotWebP);
    EXPECT_EQ(decodeToTiff({'R', 'I', 'F', 'F', 1, 2, 3}, path("a.tif")), kWebPDecodeNotWebP);
    EXPECT_EQ(GetWebPDimensions(nullptr, 0, &width, &height), kWebPDecodeNotWebP);
    int result = 0;
    decodeRGBA({'n', 'o', 't', ' ', 'w', 'e', 'b', 'p'}, &result);
    EXPECT_EQ(result, kWebPDecodeNotWebP);

    ASSERT_EQ(encode(writeRGBAPNG(Gradient(kWidth, kHeight, 4)), path("out.webp"), false, 0), 0);
    CodecBuffer webp = ReadWholeFile(path("out.webp"));
    ASSERT_EQ(GetWebPDimensions(webp.data(), webp.size(), &width, &height), 0);
    EXPECT_EQ(width, int{kWidth});
    EXPECT_EQ(height, int{kHeight});

    // The header reads but the picture does not decode: a failure, and no partial TIFF.
    webp.resize(webp.size() / 2);
    EXPECT_EQ(decodeToTiff(webp, path("a.tif")), kWebPDecodeFailed);
    decodeRGBA(webp, &result);
    EXPECT_EQ(result, kWebPDecodeFailed);
    const CodecBuffer whole = ReadWholeFile(path("out.webp"));
    EXPECT_EQ(decodeToTiff(whole, path("no/such/folder/a.tif")), kWebPDecodeOutputWriteFailed);
    EXPECT_EQ(filesInFolder(), (QStringList{"in.png", "out.webp"}));

    // Every prefix either decodes or fails, reading nothing beyond its bytes.
    for (size_t length = 0; length < whole.size(); length += 11) {
        const CodecBuffer prefix(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(length));
        const int status = decodeToTiff(prefix, QString());
        EXPECT_TRUE(status == 0 || status == kWebPDecodeNotWebP || status == kWebPDecodeFailed) << length;
    }
}

TEST_F(WebPCodecTest, AnimatedWebPGivesItsFirstFrame)
{
    WebPAnimEncoderOptions options;
    ASSERT_TRUE(WebPAnimEncoderOptionsInit(&options));
    WebPAnimEncoder* encoder = WebPAnimEncoderNew(8, 8, &options);
    ASSERT_NE(encoder, nullptr);
    const WebPConfig settings = config(true);
    for (int frame = 0; frame < 2; ++frame) {
        WebPPicture picture;
        WebPPictureInit(&picture);
        picture.width = 8;
        picture.height = 8;
        picture.use_argb = 1;
        CodecBuffer pixels(8 * 8 * 4, static_cast<uint8_t>(frame * 200 + 20));
        for (size_t alpha = 3; alpha < pixels.size(); alpha += 4)
            pixels[alpha] = 255;
        ASSERT_TRUE(WebPPictureImportRGBA(&picture, pixels.data(), 8 * 4));
        EXPECT_TRUE(WebPAnimEncoderAdd(encoder, &picture, frame * 100, &settings));
        WebPPictureFree(&picture);
    }
    WebPAnimEncoderAdd(encoder, nullptr, 200, nullptr);
    WebPData assembled;
    WebPDataInit(&assembled);
    ASSERT_TRUE(WebPAnimEncoderAssemble(encoder, &assembled));
    const CodecBuffer webp(assembled.bytes, assembled.bytes + assembled.size);
    WebPDataClear(&assembled);
    WebPAnimEncoderDelete(encoder);

    ASSERT_EQ(decodeToTiff(webp, path("anim.tif")), kWebPDecodeSuccess);
    const CodecBuffer tiff = ReadWholeFile(path("anim.tif"));
    ASSERT_EQ(tiff.size(), 210U + 8 * 8 * 4);
    EXPECT_EQ(CodecBuffer(tiff.begin() + 210, tiff.begin() + 214), (CodecBuffer{20, 20, 20, 255}));
}
