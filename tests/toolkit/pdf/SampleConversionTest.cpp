#include "TestPDFObjects.h"

#include "toolkit/pdf/PDFColorSpaceBuilder.h"
#include "toolkit/pdf/PDFSampleConversion.h"
#include "toolkit/pdf/PDFTintTransform.h"

#include <Array.h>

#include <gtest/gtest.h>

#include <random>

namespace {

QByteArray Bytes(std::initializer_list<int> values)
{
    QByteArray bytes;
    for (int value : values)
        bytes.append(static_cast<char>(value));
    return bytes;
}

} // namespace

TEST(SampleConversionTest, ExpandsEveryDepthRowByRow)
{
    // 1 bit, width 10: two bytes a row, six padding bits dropped.
    const QByteArray oneBit = Bytes({0b10110000, 0b01000000, 0b00000000, 0b11000000});
    EXPECT_EQ(*ExpandSamplesTo8Bit(oneBit, 1, {}, 10, 1),
              Bytes({255, 0, 255, 255, 0, 0, 0, 0, 0, 255, 0, 0, 0, 0, 0, 0, 0, 0, 255, 255}));
    EXPECT_EQ(*ExpandSamplesTo8Bit(oneBit, 1, {1.0, 0.0}, 10, 1),
              Bytes({0, 255, 0, 0, 255, 255, 255, 255, 255, 0, 255, 255, 255, 255, 255, 255, 255, 255, 0, 0}));
    EXPECT_EQ(*ExpandSamplesTo8Bit(Bytes({0b10000000}), 1, {0.0, 1.0}, 2, 1), Bytes({255, 0}));
    // 2 bits, width 5: 0 1 2 3 2.
    EXPECT_EQ(*ExpandSamplesTo8Bit(Bytes({0b00011011, 0b10000000}), 2, {}, 5, 1), Bytes({0, 85, 170, 255, 170}));
    // 4 bits, width 1 of three components.
    EXPECT_EQ(*ExpandSamplesTo8Bit(Bytes({0x3a, 0x50}), 4, {}, 1, 3), Bytes({51, 170, 85}));
    EXPECT_EQ(*ExpandSamplesTo8Bit(Bytes({0x12, 0x34, 0xab, 0xcd}), 16, {}, 2, 1), Bytes({0x12, 0xab}));
    EXPECT_FALSE(ExpandSamplesTo8Bit(Bytes({1, 2}), 8, {}, 2, 1));
    EXPECT_FALSE(ExpandSamplesTo8Bit(Bytes({1, 2}), 3, {}, 2, 1));
    // A short last row is filled with zero samples; less than one row gives nothing.
    EXPECT_EQ(*ExpandSamplesTo8Bit(Bytes({0xff, 0xff, 0xf0}), 4, {}, 4, 1), Bytes({255, 255, 255, 255, 255, 0, 0, 0}));
    EXPECT_FALSE(ExpandSamplesTo8Bit(Bytes({0xff}), 4, {}, 4, 1));
    EXPECT_FALSE(ExpandSamplesTo8Bit(Bytes({0xff}), 1, {}, int64_t(1) << 40, 1));
    EXPECT_FALSE(ExpandSamplesTo8Bit(Bytes({0xff}), 1, {}, 0, 1));
}

TEST(SampleConversionTest, DecodeArrays)
{
    // Colour components: a byte stands for byte / 255.
    EXPECT_EQ(*ApplyDecodeArray(Bytes({0, 255, 51}), 8, {1, 0}, false), Bytes({255, 0, 204}));
    EXPECT_EQ(*ApplyDecodeArray(Bytes({0, 255, 51}), 8, {0, 1}, false), Bytes({0, 255, 51}));
    EXPECT_EQ(*ApplyDecodeArray(Bytes({0, 0, 255, 255}), 4, {0, 1, 1, 0}, false), Bytes({0, 255, 255, 0}));
    EXPECT_EQ(*ApplyDecodeArray(Bytes({255}), 8, {0, 0.5}, false), Bytes({128}));
    // Indexed: the pair maps the sample value onto an index, written in the scale of its depth.
    EXPECT_EQ(*ApplyDecodeArray(Bytes({3, 200}), 8, {255, 0}, true), Bytes({252, 55}));
    EXPECT_EQ(*ApplyDecodeArray(Bytes({85, 0}), 2, {3, 0}, true), Bytes({170, 255}));
    EXPECT_EQ(*ApplyDecodeArray(Bytes({85}), 4, {0, 15}, true), Bytes({85}));
    EXPECT_EQ(*ApplyDecodeArray(Bytes({255}), 4, {0, 30}, true), Bytes({255}));
    EXPECT_FALSE(ApplyDecodeArray(Bytes({1}), 8, {1}, false));
}

TEST(SampleConversionTest, IndexedSamples)
{
    TestPDFObjects objects;
    ColorSpaceKind kind;
    int count = 0;
    const Object array = objects.parse("[/Indexed /DeviceRGB 2 <000000 ff0000 00ff00 0000ff>]");
    const PDFColorSpacePtr indexed = CreateColorSpaceFromArray(*array.getArray(), kind, count);
    // A 2-bit image of width 5 has two bytes a row and gives exactly five entries a row.
    const QByteArray expanded = *ExpandSamplesTo8Bit(Bytes({0b00011011, 0b10000000, 0b01000000, 0}), 2, {}, 5, 1);
    const QByteArray rgb = *ExpandIndexedSamples(*indexed, 2, expanded);
    EXPECT_EQ(rgb, QByteArray::fromHex("000000ff000000ff0000ff0000ff00"
                                       "ff0000000000000000000000000000"));
    // Index 3 is above hival 2: entry 2.
    EXPECT_EQ(*ExpandIndexedSamples(*indexed, 8, Bytes({3, 250})), QByteArray::fromHex("00ff0000ff00"));
    EXPECT_EQ(*ExpandIndexedSamples(*indexed, 1, Bytes({255, 0})), QByteArray::fromHex("ff0000000000"));
    EXPECT_EQ(*ExpandIndexedSamples(*indexed, 4, Bytes({34})), QByteArray::fromHex("00ff00"));
    EXPECT_FALSE(ExpandIndexedSamples(*indexed, 16, Bytes({1})));
    EXPECT_FALSE(ExpandIndexedSamples(*PDFColorSpace::Device(PDFColorSpace::Model::RGB), 8, Bytes({1})));
}

TEST(SampleConversionTest, SeparationTintTransform)
{
    TestPDFObjects objects;
    const Object inverse = objects.parse(
        "[/Separation /Spot /DeviceGray << /FunctionType 2 /Domain [0 1] /C0 [1] /C1 [0] /N 1 >>]");
    EXPECT_EQ(*ApplySeparationTintTransform(*inverse.getArray(), Bytes({0, 255, 51})), Bytes({255, 0, 204}));
    objects.addStream(20, "/FunctionType 4 /Domain [0 1] /Range [0 1 0 1 0 1 0 1]",
                      "{ dup 0.84 mul exch 0 exch dup 0.44 mul exch 0.21 mul }");
    const Object spot = objects.parse("[/Separation /Spot /DeviceCMYK 20 0 R]");
    EXPECT_EQ(*ApplySeparationTintTransform(*spot.getArray(), Bytes({0, 255, 100})),
              Bytes({0, 0, 0, 0, 214, 0, 112, 54, 84, 0, 44, 21}));
    // A function of one output over an RGB alternate, or one that is no program, gives nothing.
    const Object mismatched = objects.parse("[/Separation /Spot /DeviceRGB << /FunctionType 2 /Domain [0 1] /N 1 >>]");
    EXPECT_FALSE(ApplySeparationTintTransform(*mismatched.getArray(), Bytes({1})));
    objects.addStream(21, "/FunctionType 4 /Domain [0 1] /Range [0 1]", "{ 1 exch sub");
    EXPECT_FALSE(ApplySeparationTintTransform(*objects.parse("[/Separation /Spot /DeviceGray 21 0 R]").getArray(),
                                              Bytes({1})));
    EXPECT_FALSE(ApplySeparationTintTransform(*objects.parse("[/Separation /Spot /DeviceGray]").getArray(),
                                              Bytes({1})));
}

TEST(SampleConversionTest, DeviceNTintTransform)
{
    TestPDFObjects objects;
    objects.addStream(20, "/FunctionType 4 /Domain [0 1 0 1] /Range [0 1 0 1 0 1]", "{ 2 copy add 3 1 roll }");
    const Object deviceN = objects.parse("[/DeviceN [/A /B] /DeviceRGB 20 0 R]");
    EXPECT_EQ(*ApplyDeviceNTintTransform(*deviceN.getArray(), Bytes({255, 0, 51, 102, 7})),
              Bytes({255, 255, 0, 153, 51, 102}));
    // Exponential functions take the pixel's last component.
    const Object last = objects.parse(
        "[/DeviceN [/A /B] /DeviceGray << /FunctionType 2 /Domain [0 1] /C0 [1] /C1 [0] /N 1 >>]");
    EXPECT_EQ(*ApplyDeviceNTintTransform(*last.getArray(), Bytes({0, 255, 255, 0})), Bytes({0, 255}));
    EXPECT_FALSE(ApplyDeviceNTintTransform(*objects.parse("[/DeviceN [] /DeviceGray 20 0 R]").getArray(),
                                           Bytes({1, 2})));
}

// Cached evaluation gives the bytes per-pixel evaluation gives, for keys of one, two and more bytes.
TEST(SampleConversionTest, CachedEqualsPerPixel)
{
    TestPDFObjects objects;
    objects.addStream(20, "/FunctionType 4 /Domain [0 1 0 1 0 1] /Range [0 1 0 1 0 1 0 1]",
                      "{ 3 copy add add 3 div 4 1 roll mul exch 0.5 mul 3 -1 roll }");
    objects.addStream(21, "/FunctionType 4 /Domain [0 1 0 1] /Range [0 1 0 1 0 1]", "{ 2 copy mul 3 1 roll }");
    std::mt19937 random(7);
    QByteArray data(30000, '\0');
    for (char& byte : data)
        byte = static_cast<char>(random() % 24 * 10);
    for (const QByteArray& space : {QByteArray("[/DeviceN [/A /B /C] /DeviceCMYK 20 0 R]"),
                                    QByteArray("[/DeviceN [/A /B] /DeviceRGB 21 0 R]")}) {
        const Object array = objects.parse(space);
        EXPECT_EQ(*ApplyDeviceNTintTransform(*array.getArray(), data, TintEvaluation::Cached),
                  *ApplyDeviceNTintTransform(*array.getArray(), data, TintEvaluation::PerPixel));
    }
    const Object separation = objects.parse("[/Separation /S /DeviceRGB << /FunctionType 2 /Domain [0 1] "
                                            "/C0 [0 0.5 1] /C1 [1 0.2 0] /N 2.2 >>]");
    EXPECT_EQ(*ApplySeparationTintTransform(*separation.getArray(), data, TintEvaluation::Cached),
              *ApplySeparationTintTransform(*separation.getArray(), data, TintEvaluation::PerPixel));
}

// A pixel of many inks costs one evaluation per distinct value, whatever its length, and the caller
// is asked at the start of every row whether to go on.
TEST(SampleConversionTest, LongKeysAreCachedAndCancelIsAskedPerRow)
{
    TestPDFObjects objects;
    QByteArray domain, size;
    for (int i = 0; i < 12; ++i) {
        domain += "0 1 ";
        size += "2 ";
    }
    QByteArray samples;
    for (int corner = 0; corner < 4096; ++corner)
        samples += char(__builtin_popcount(corner) * 255 / 12);
    objects.addStream(20, "/FunctionType 0 /Domain [" + domain + "] /Range [0 1] /Size [" + size + "] /BitsPerSample 8",
                      samples);
    QByteArray names;
    for (int i = 0; i < 12; ++i)
        names += "/I" + QByteArray::number(i) + " ";
    const Object space = objects.parse("[/DeviceN [" + names + "] /DeviceGray 20 0 R]");
    QByteArray data(12 * 6, char(51)); // six pixels, two rows of three: every ink at 0.2
    int asked = 0;
    const TintCancel goOn{[&asked] { return ++asked < 0; }, 3};
    const auto converted = ApplyDeviceNTintTransform(*space.getArray(), data, TintEvaluation::Cached, goOn);
    ASSERT_TRUE(converted);
    EXPECT_EQ(*converted, QByteArray(6, char(51)));
    EXPECT_EQ(asked, 2);
    const TintCancel stop{[] { return true; }, 3};
    EXPECT_FALSE(ApplyDeviceNTintTransform(*space.getArray(), data, TintEvaluation::Cached, stop));
}
