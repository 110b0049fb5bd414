#include "toolkit/codec/CodecTestImages.h"
#include "toolkit/codec/JPEGCodec.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

using namespace CodecTestImages;

namespace {

struct Decoded {
    int result = -1;
    uint32_t code = 0;
    CodecBuffer pixels;
    uint32_t width = 0;
    uint32_t height = 0;
    double xResolution = 0;
    double yResolution = 0;
};

Decoded Decode(const CodecBuffer& jpeg)
{
    Decoded decoded;
    decoded.result = DecodeJPEGFromMemory(jpeg.data(), jpeg.size(), &decoded.code, &decoded.pixels, &decoded.width,
                                          &decoded.height, &decoded.xResolution, &decoded.yResolution);
    return decoded;
}

CodecBuffer Encode(uint32_t width, uint32_t height, const CodecBuffer& pixels, J_COLOR_SPACE space, int components,
                   double resolution = 72)
{
    CodecBuffer jpeg;
    EXPECT_EQ(EncodeJPEGToMemory(width, height, pixels.data(), space, components, &jpeg, 100, resolution, resolution), 0);
    return jpeg;
}

size_t FindBytes(const CodecBuffer& haystack, std::initializer_list<uint8_t> needle)
{
    const auto found = std::search(haystack.begin(), haystack.end(), needle.begin(), needle.end());
    return found == haystack.end() ? std::string::npos : static_cast<size_t>(found - haystack.begin());
}

} // namespace

TEST(JPEGCodec, GreyRGBAndCMYKSurviveARoundTripWithinJPEGTolerance)
{
    struct Case {
        J_COLOR_SPACE space;
        int components;
        uint32_t code;
    };
    for (const Case& c : {Case{JCS_GRAYSCALE, 1, kJPEGComponentsGrey}, Case{JCS_RGB, 3, kJPEGComponentsRGB},
                          Case{JCS_CMYK, 4, kJPEGComponentsCMYK}}) {
        const CodecBuffer pixels = Gradient(67, 41, static_cast<uint32_t>(c.components));
        const Decoded decoded = Decode(Encode(67, 41, pixels, c.space, c.components, 300));
        ASSERT_EQ(decoded.result, 0) << c.components;
        EXPECT_EQ(decoded.code, c.code);
        EXPECT_EQ(decoded.width, 67u);
        EXPECT_EQ(decoded.height, 41u);
        EXPECT_EQ(decoded.xResolution, 300.0);
        EXPECT_EQ(decoded.yResolution, 300.0);
        // Chroma subsampling blurs sharp colour changes a little; the mean stays close.
        const int difference = MaxDifference(decoded.pixels, pixels);
        EXPECT_GE(difference, 0);
        EXPECT_LE(difference, 32) << c.components;
        EXPECT_LE(MeanDifference(decoded.pixels, pixels), 2.0) << c.components;
    }
}

TEST(JPEGCodec, ResolutionIsTruncatedOnEncodeAndReadInDotsPerInch)
{
    const CodecBuffer pixels = Gradient(8, 8, 3);
    CodecBuffer jpeg = Encode(8, 8, pixels, JCS_RGB, 3, 299.9);
    EXPECT_EQ(Decode(jpeg).xResolution, 299.0);

    // Density unit 2 (dots per centimetre) with density 100.
    const size_t jfif = FindBytes(jpeg, {'J', 'F', 'I', 'F', 0});
    ASSERT_NE(jfif, std::string::npos);
    jpeg[jfif + 7] = 2;
    jpeg[jfif + 8] = 0;
    jpeg[jfif + 9] = 100;
    jpeg[jfif + 10] = 0;
    jpeg[jfif + 11] = 100;
    EXPECT_EQ(Decode(jpeg).xResolution, 254.0);
    EXPECT_EQ(Decode(jpeg).yResolution, 254.0);

    // Unit 0 states no resolution: the caller's values stay.
    jpeg[jfif + 7] = 0;
    const Decoded unitless = Decode(jpeg);
    EXPECT_EQ(unitless.result, 0);
    EXPECT_EQ(unitless.xResolution, 0.0);
    EXPECT_EQ(unitless.yResolution, 0.0);
}

TEST(JPEGCodec, EncoderRefusesWhatTheLibraryCannotTakeInsteadOfEndingTheProcess)
{
    const CodecBuffer pixels = Gradient(4, 4, 4);
    CodecBuffer jpeg{1, 2, 3};
    // Wider than libjpeg allows.
    EXPECT_EQ(EncodeJPEGToMemory(70000, 1, pixels.data(), JCS_RGB, 3, &jpeg, 90, 72, 72), 1);
    EXPECT_TRUE(jpeg.empty());
    // A component count that does not match the colour space.
    EXPECT_EQ(EncodeJPEGToMemory(4, 4, pixels.data(), JCS_RGB, 4, &jpeg, 90, 72, 72), 1);
    EXPECT_EQ(EncodeJPEGToMemory(0, 4, pixels.data(), JCS_RGB, 3, &jpeg, 90, 72, 72), 1);
    EXPECT_TRUE(jpeg.empty());
    // And the next call works as usual.
    EXPECT_EQ(EncodeJPEGToMemory(4, 4, pixels.data(), JCS_CMYK, 4, &jpeg, 90, 72, 72), 0);
    EXPECT_FALSE(jpeg.empty());
}

TEST(JPEGCodec, TruncatedDataDecodesTheRowsItHas)
{
    const CodecBuffer pixels = Gradient(64, 64, 3);
    CodecBuffer jpeg = Encode(64, 64, pixels, JCS_RGB, 3);
    jpeg.resize(jpeg.size() * 2 / 3);
    const Decoded decoded = Decode(jpeg);
    EXPECT_EQ(decoded.result, 0);
    EXPECT_EQ(decoded.width, 64u);
    EXPECT_EQ(decoded.pixels.size(), 64u * 64u * 3u);
}

TEST(JPEGCodec, HostileOrEmptyInputFailsCleanly)
{
    EXPECT_EQ(Decode({}).result, 1);
    EXPECT_EQ(DecodeJPEGFromMemory(nullptr, 10, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr), 1);
    std::mt19937 random(15);
    CodecBuffer noise(4096);
    for (uint8_t& byte : noise)
        byte = static_cast<uint8_t>(random());
    Decoded decoded = Decode(noise);
    EXPECT_EQ(decoded.result, 1);
    EXPECT_TRUE(decoded.pixels.empty());

    // A header claiming 65000 × 65000 pixels in a few hundred bytes is refused before any allocation.
    CodecBuffer jpeg = Encode(16, 16, Gradient(16, 16, 3), JCS_RGB, 3);
    const size_t frame = FindBytes(jpeg, {0xFF, 0xC0});
    ASSERT_NE(frame, std::string::npos);
    for (size_t offset : {frame + 5, frame + 7}) {
        jpeg[offset] = 0xFD;
        jpeg[offset + 1] = 0xE8;
    }
    decoded = Decode(jpeg);
    EXPECT_EQ(decoded.result, 1);
    EXPECT_EQ(decoded.width, 0u);

    // Every prefix of a real file either decodes or fails; none reads beyond its bytes.
    const CodecBuffer whole = Encode(16, 16, Gradient(16, 16, 3), JCS_RGB, 3);
    for (size_t length = 0; length < whole.size(); length += 7) {
        const CodecBuffer prefix(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(length));
        const int result = Decode(prefix).result;
        EXPECT_TRUE(result == 0 || result == 1);
    }
}
