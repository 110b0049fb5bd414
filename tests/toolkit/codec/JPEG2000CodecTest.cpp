#include "toolkit/codec/CodecTestImages.h"
#include "toolkit/codec/JPEG2000Codec.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <random>

#include <openjpeg.h>

using namespace CodecTestImages;

namespace {

// JPEG 2000 files made with OpenJPEG's encoder (lossless), into memory.
struct ImageSpec {
    uint32_t width = 8;
    uint32_t height = 4;
    uint32_t components = 3;
    uint32_t precision = 8;
    bool isSigned = false;
    OPJ_COLOR_SPACE colourSpace = OPJ_CLRSPC_UNSPECIFIED;
    bool codestream = true;       // bare J2K; otherwise a JP2 file
    uint32_t subsampledFrom = 99; // components from this index on are subsampled 2 × 2
    std::function<int(uint32_t component, uint32_t x, uint32_t y)> sample = [](uint32_t c, uint32_t x, uint32_t y) {
        return static_cast<int>((x * 16 + y * 8 + c * 32) & 0xFF);
    };
};

struct WriteState {
    CodecBuffer bytes;
    size_t offset = 0;
};

OPJ_SIZE_T WriteBytes(void* buffer, OPJ_SIZE_T count, void* user)
{
    auto& state = *static_cast<WriteState*>(user);
    if (state.bytes.size() < state.offset + count)
        state.bytes.resize(state.offset + count);
    std::memcpy(state.bytes.data() + state.offset, buffer, count);
    state.offset += count;
    return count;
}

OPJ_OFF_T SkipBytes(OPJ_OFF_T count, void* user)
{
    auto& state = *static_cast<WriteState*>(user);
    state.offset += static_cast<size_t>(count);
    if (state.bytes.size() < state.offset)
        state.bytes.resize(state.offset);
    return count;
}

OPJ_BOOL SeekBytes(OPJ_OFF_T position, void* user)
{
    static_cast<WriteState*>(user)->offset = static_cast<size_t>(position);
    return OPJ_TRUE;
}

CodecBuffer EncodeJPEG2000(const ImageSpec& spec)
{
    std::vector<opj_image_cmptparm_t> parameters(spec.components, opj_image_cmptparm_t{});
    for (uint32_t c = 0; c < spec.components; ++c) {
        const uint32_t factor = c >= spec.subsampledFrom ? 2 : 1;
        opj_image_cmptparm_t& component = parameters[c];
        component.dx = factor;
        component.dy = factor;
        component.w = spec.width / factor;
        component.h = spec.height / factor;
        component.prec = spec.precision;
        component.sgnd = spec.isSigned ? 1u : 0u;
    }
    opj_image_t* image = opj_image_create(spec.components, parameters.data(), spec.colourSpace);
    image->x1 = spec.width;
    image->y1 = spec.height;
    for (uint32_t c = 0; c < spec.components; ++c) {
        const opj_image_comp_t& component = image->comps[c];
        for (uint32_t y = 0; y < component.h; ++y) {
            for (uint32_t x = 0; x < component.w; ++x)
                component.data[y * component.w + x] = spec.sample(c, x, y);
        }
    }
    opj_cparameters_t settings;
    opj_set_default_encoder_parameters(&settings);
    settings.tcp_numlayers = 1;
    settings.tcp_rates[0] = 0;
    settings.cp_disto_alloc = 1;
    settings.tcp_mct = 0;
    settings.numresolution = 2;
    opj_codec_t* codec = opj_create_compress(spec.codestream ? OPJ_CODEC_J2K : OPJ_CODEC_JP2);
    WriteState state;
    opj_stream_t* stream = opj_stream_create(OPJ_J2K_STREAM_CHUNK_SIZE, OPJ_FALSE);
    opj_stream_set_write_function(stream, WriteBytes);
    opj_stream_set_skip_function(stream, SkipBytes);
    opj_stream_set_seek_function(stream, SeekBytes);
    opj_stream_set_user_data(stream, &state, nullptr);
    const bool encoded = opj_setup_encoder(codec, &settings, image) && opj_start_compress(codec, image, stream) && opj_encode(codec, stream) && opj_end_compress(codec, stream);
    opj_stream_destroy(stream);
    opj_destroy_codec(codec);
    opj_image_destroy(image);
    EXPECT_TRUE(encoded);
    return state.bytes;
}

uint32_t BoxLength(const CodecBuffer& bytes, size_t at)
{
    return (uint32_t{bytes[at]} << 24) | (uint32_t{bytes[at + 1]} << 16) | (uint32_t{bytes[at + 2]} << 8) | bytes[at + 3];
}

void SetBoxLength(CodecBuffer& bytes, size_t at, uint32_t length)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + static_cast<size_t>(i)] = static_cast<uint8_t>(length >> (24 - 8 * i));
}

// OpenJPEG's encoder writes no ICC profile: swap the JP2 file's enumerated colour box for one holding it.
CodecBuffer WithICCProfile(CodecBuffer jp2, const CodecBuffer& profile)
{
    const auto find = [&](const char* type) {
        return static_cast<size_t>(std::search(jp2.begin(), jp2.end(), type, type + 4) - jp2.begin()) - 4;
    };
    const size_t header = find("jp2h");
    const size_t colour = find("colr");
    const uint32_t oldLength = BoxLength(jp2, colour);
    CodecBuffer box(8, 0);
    SetBoxLength(box, 0, static_cast<uint32_t>(8 + 3 + profile.size()));
    std::memcpy(box.data() + 4, "colr", 4);
    box.insert(box.end(), {2, 0, 0});
    box.insert(box.end(), profile.begin(), profile.end());
    SetBoxLength(jp2, header, static_cast<uint32_t>(BoxLength(jp2, header) - oldLength + box.size()));
    jp2.erase(jp2.begin() + static_cast<std::ptrdiff_t>(colour), jp2.begin() + static_cast<std::ptrdiff_t>(colour + oldLength));
    jp2.insert(jp2.begin() + static_cast<std::ptrdiff_t>(colour), box.begin(), box.end());
    return jp2;
}

struct Decoded {
    int64_t result = 1;
    CodecBuffer pixels;
    uint32_t kind = kJPEG2000ColourNone;
    int64_t count = 0;
    CodecBuffer icc;
};

Decoded Decode(const CodecBuffer& data, uint32_t kind = kJPEG2000ColourNone)
{
    Decoded decoded;
    decoded.kind = kind;
    decoded.result = DecodeJPEG2000Data(data, &decoded.pixels, &decoded.kind, &decoded.count, &decoded.icc);
    return decoded;
}

} // namespace

TEST(JPEG2000Codec, CodestreamAndJP2FilesDecodeToTheirSamples)
{
    for (const bool codestream : {true, false}) {
        ImageSpec spec;
        spec.codestream = codestream;
        spec.colourSpace = OPJ_CLRSPC_SRGB;
        const CodecBuffer data = EncodeJPEG2000(spec);
        ASSERT_EQ(data[0] == 0xFF && data[1] == 0x4F, codestream);
        const Decoded decoded = Decode(data);
        ASSERT_EQ(decoded.result, 0);
        EXPECT_EQ(decoded.kind, kJPEG2000ColourRGB);
        EXPECT_EQ(decoded.count, 3);
        ASSERT_EQ(decoded.pixels.size(), 8u * 4u * 3u);
        EXPECT_EQ(decoded.pixels[3 * (1 * 8 + 2) + 1], spec.sample(1, 2, 1));
        EXPECT_TRUE(decoded.icc.empty());
    }
}

TEST(JPEG2000Codec, ComponentCountsSplitIntoColourAndAlpha)
{
    ImageSpec spec;
    spec.codestream = false;
    spec.components = 4;
    spec.colourSpace = OPJ_CLRSPC_SRGB;
    Decoded decoded = Decode(EncodeJPEG2000(spec));
    EXPECT_EQ(decoded.kind, kJPEG2000ColourRGB);
    EXPECT_EQ(decoded.count, 4);

    spec.colourSpace = OPJ_CLRSPC_CMYK;
    decoded = Decode(EncodeJPEG2000(spec));
    EXPECT_EQ(decoded.kind, kJPEG2000ColourCMYK);
    // A kind from the caller stays.
    EXPECT_EQ(Decode(EncodeJPEG2000(spec), kJPEG2000ColourGrey).kind, kJPEG2000ColourGrey);

    spec.components = 2;
    spec.colourSpace = OPJ_CLRSPC_GRAY;
    decoded = Decode(EncodeJPEG2000(spec));
    EXPECT_EQ(decoded.kind, kJPEG2000ColourGrey);
    EXPECT_EQ(decoded.count, 2);
    EXPECT_EQ(decoded.pixels.size(), 8u * 4u * 2u);

    // Past five components the pixels keep five, and the count says so.
    spec.components = 7;
    spec.colourSpace = OPJ_CLRSPC_UNSPECIFIED;
    spec.codestream = true;
    decoded = Decode(EncodeJPEG2000(spec));
    ASSERT_EQ(decoded.result, 0);
    EXPECT_EQ(decoded.count, 5);
    ASSERT_EQ(decoded.pixels.size(), 8u * 4u * 5u);
    EXPECT_EQ(decoded.pixels[5 * 3 + 4], spec.sample(4, 3, 0));
}

TEST(JPEG2000Codec, SamplesOfEveryPrecisionBecomeFullRangeBytes)
{
    ImageSpec spec;
    spec.components = 1;
    spec.precision = 16;
    spec.sample = [](uint32_t, uint32_t x, uint32_t) { return x == 0 ? 0xABCD : 0xFFFF; };
    Decoded decoded = Decode(EncodeJPEG2000(spec));
    ASSERT_EQ(decoded.result, 0);
    EXPECT_EQ(decoded.pixels[0], 0xAB);
    EXPECT_EQ(decoded.pixels[1], 0xFF);

    spec.precision = 8;
    spec.isSigned = true;
    spec.sample = [](uint32_t, uint32_t x, uint32_t) { return x == 0 ? -128 : 127; };
    decoded = Decode(EncodeJPEG2000(spec));
    EXPECT_EQ(decoded.pixels[0], 0);
    EXPECT_EQ(decoded.pixels[1], 255);

    // A 1-bit image is black and white, not black and nearly black.
    spec.precision = 1;
    spec.isSigned = false;
    spec.sample = [](uint32_t, uint32_t x, uint32_t) { return static_cast<int>(x & 1); };
    decoded = Decode(EncodeJPEG2000(spec));
    EXPECT_EQ(decoded.pixels[0], 0);
    EXPECT_EQ(decoded.pixels[1], 255);
    spec.precision = 4;
    spec.sample = [](uint32_t, uint32_t x, uint32_t) { return x == 0 ? 15 : 5; };
    decoded = Decode(EncodeJPEG2000(spec));
    EXPECT_EQ(decoded.pixels[0], 255);
    EXPECT_EQ(decoded.pixels[1], 85);
}

TEST(JPEG2000Codec, SYCCImagesComeBackAsRGB)
{
    ImageSpec spec;
    spec.codestream = false;
    spec.colourSpace = OPJ_CLRSPC_SYCC;
    // Pixel 0: neutral grey 100; pixel 1: pure red as sYCC (Y 76, Cb 85, Cr 255).
    spec.sample = [](uint32_t c, uint32_t x, uint32_t) {
        static const int red[3] = {76, 85, 255};
        return x == 1 ? red[c] : (c == 0 ? 100 : 128);
    };
    const Decoded decoded = Decode(EncodeJPEG2000(spec));
    ASSERT_EQ(decoded.result, 0);
    EXPECT_EQ(decoded.kind, kJPEG2000ColourRGB);
    EXPECT_EQ(decoded.pixels[0], 100);
    EXPECT_EQ(decoded.pixels[1], 100);
    EXPECT_EQ(decoded.pixels[2], 100);
    EXPECT_GE(decoded.pixels[3], 250);
    EXPECT_LE(decoded.pixels[4], 3);
    EXPECT_LE(decoded.pixels[5], 3);
}

TEST(JPEG2000Codec, TheFilesICCProfileIsHandedBack)
{
    ImageSpec spec;
    spec.codestream = false;
    spec.colourSpace = OPJ_CLRSPC_SRGB;
    const CodecBuffer profile = Gradient(200, 1, 1);
    const Decoded decoded = Decode(WithICCProfile(EncodeJPEG2000(spec), profile));
    ASSERT_EQ(decoded.result, 0);
    EXPECT_EQ(decoded.icc, profile);
}

TEST(JPEG2000Codec, BadInputFailsCleanly)
{
    EXPECT_EQ(Decode({}).result, -1);
    EXPECT_EQ(Decode({0xFF}).result, -1);
    EXPECT_EQ(Decode({0xFF, 0x4F}).result, -1);
    std::mt19937 random(15);
    CodecBuffer noise(2048);
    for (uint8_t& byte : noise)
        byte = static_cast<uint8_t>(random());
    EXPECT_EQ(Decode(noise).result, -1);

    // Components of unequal size.
    ImageSpec spec;
    spec.subsampledFrom = 1;
    EXPECT_EQ(Decode(EncodeJPEG2000(spec)).result, -1);

    // A codestream header claiming 60000 × 60000 pixels is refused before the library allocates them.
    CodecBuffer huge = EncodeJPEG2000(ImageSpec{});
    for (size_t offset : {8, 12, 24, 28}) { // image and tile width and height in the SIZ segment
        huge[offset] = 0;
        huge[offset + 1] = 0;
        huge[offset + 2] = 0xEA;
        huge[offset + 3] = 0x60;
    }
    EXPECT_EQ(Decode(huge).result, -1);

    // Every prefix either decodes or fails, reading nothing beyond its bytes.
    spec.subsampledFrom = 99;
    spec.codestream = false;
    const CodecBuffer whole = EncodeJPEG2000(spec);
    for (size_t length = 0; length < whole.size(); length += 5) {
        const Decoded decoded = Decode(CodecBuffer(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(length)));
        EXPECT_TRUE(decoded.result == 0 || decoded.result == -1);
    }
}
