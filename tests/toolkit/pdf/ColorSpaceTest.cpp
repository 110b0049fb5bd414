#include "TestPDFObjects.h"

#include "toolkit/pdf/PDFColorSpaceBuilder.h"

#include <Array.h>

#include <gtest/gtest.h>
#include <lcms2.h>

namespace {

using Model = PDFColorSpace::Model;

struct Built {
    PDFColorSpacePtr space;
    ColorSpaceKind kind = ColorSpaceKind::None;
    int count = -1;
};

class ColorSpaceTest : public ::testing::Test {
protected:
    Built BuildObject(const Object& object)
    {
        Built built;
        EXPECT_TRUE(object.isArray());
        if (object.isArray())
            built.space = CreateColorSpaceFromArray(*object.getArray(), built.kind, built.count);
        return built;
    }
    Built Build(const QByteArray& text) { return BuildObject(objects.parse(text)); }

    static QByteArray ProfileBytes(cmsHPROFILE profile)
    {
        cmsUInt32Number size = 0;
        cmsSaveProfileToMem(profile, nullptr, &size);
        QByteArray bytes(static_cast<qsizetype>(size), '\0');
        cmsSaveProfileToMem(profile, bytes.data(), &size);
        cmsCloseProfile(profile);
        return bytes;
    }

    TestPDFObjects objects;
};

} // namespace

TEST_F(ColorSpaceTest, DeviceNamesAndKinds)
{
    int count = -1;
    EXPECT_EQ(CreateColorSpaceFromName("RGB", count)->model(), Model::RGB);
    EXPECT_EQ(count, 3);
    EXPECT_EQ(CreateColorSpaceFromName("DeviceCMYK", count)->model(), Model::CMYK);
    EXPECT_EQ(count, 4);
    EXPECT_EQ(CreateColorSpaceFromName("G", count)->model(), Model::Gray);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(CreateColorSpaceFromName("Pattern", count), nullptr);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(CreateColorSpaceFromKind(ColorSpaceKind::CMYK)->componentCount(), 4);
    EXPECT_EQ(CreateColorSpaceFromKind(ColorSpaceKind::CalRGB), nullptr);
    EXPECT_EQ(Build("[/DeviceRGB]").space->model(), Model::RGB);
    EXPECT_EQ(Build("[/Pattern]").space, nullptr);
    EXPECT_EQ(Build("[/Pattern /DeviceRGB]").space, nullptr);
    EXPECT_EQ(Build("[1 2]").space, nullptr);
}

TEST_F(ColorSpaceTest, CalibratedSpacesCarryProfiles)
{
    Built bare = Build("[/CalRGB]");
    EXPECT_EQ(bare.kind, ColorSpaceKind::CalRGB);
    EXPECT_EQ(bare.count, 3);
    EXPECT_EQ(bare.space->profile(), nullptr);
    EXPECT_EQ(Build("[/CalRGB << /Gamma [2.2 2.2 2.2] >>]").space->profile(), nullptr);
    Built rgb = Build("[/CalRGB << /WhitePoint [0.9505 1 1.089] /Gamma [2.2 2.2 2.2] "
                      "/Matrix [0.4124 0.2126 0.0193 0.3576 0.7152 0.1192 0.1805 0.0722 0.9505] >>]");
    ASSERT_NE(rgb.space->profile(), nullptr);
    EXPECT_EQ(cmsGetColorSpace(rgb.space->profile()->handle()), cmsSigRgbData);
    // The default Matrix has primaries without chromaticity: device RGB stands in.
    EXPECT_EQ(Build("[/CalRGB << /WhitePoint [0.9505 1 1.089] >>]").space->model(), Model::RGB);
    Built gray = Build("[/CalGray << /WhitePoint [0.9505 1 1.089] /Gamma 2.2 >>]");
    EXPECT_EQ(gray.kind, ColorSpaceKind::CalGray);
    ASSERT_NE(gray.space->profile(), nullptr);
    EXPECT_EQ(cmsGetColorSpace(gray.space->profile()->handle()), cmsSigGrayData);
    Built lab = Build("[/Lab << /WhitePoint [0.9505 1 1.089] >>]");
    EXPECT_EQ(lab.kind, ColorSpaceKind::Lab);
    EXPECT_EQ(lab.space->model(), Model::Lab);
    EXPECT_EQ(lab.space->ranges(), (std::vector<double>{0, 100, -100, 100, -100, 100}));
    EXPECT_EQ(Build("[/Lab << /WhitePoint [0.9505 1 1.089] /Range [-128 127 -50 50] >>]").space->ranges(),
              (std::vector<double>{0, 100, -128, 127, -50, 50}));
    EXPECT_EQ(Build("[/Lab]").space->model(), Model::RGB);
}

TEST_F(ColorSpaceTest, ICCBased)
{
    const QByteArray srgb = ProfileBytes(cmsCreate_sRGBProfile());
    objects.addStream(40, "/N 3", srgb);
    objects.addStream(41, "/N 4 /Alternate /DeviceCMYK", "not a profile");
    objects.addStream(42, "/N 1", "not a profile");
    objects.addStream(43, "/N 1 /Alternate /DeviceGray", srgb);
    objects.addStream(44, "/N 3 /Range [0 1 -1 1]", srgb);
    Built icc = Build("[/ICCBased 40 0 R]");
    EXPECT_EQ(icc.kind, ColorSpaceKind::ICCBased);
    EXPECT_EQ(icc.count, 3);
    ASSERT_NE(icc.space->profile(), nullptr);
    EXPECT_EQ(icc.space->ranges(), (std::vector<double>{0, 1, 0, 1, 0, 1}));
    EXPECT_EQ(Build("[/ICCBased 44 0 R]").space->ranges(), (std::vector<double>{0, 1, -1, 1, 0, 1}));
    Built broken = Build("[/ICCBased 41 0 R]");
    EXPECT_EQ(broken.space->model(), Model::CMYK);
    EXPECT_EQ(broken.space->profile(), nullptr);
    EXPECT_EQ(Build("[/ICCBased 42 0 R]").space->model(), Model::Gray);
    // A profile of three components where the space says one: the alternate.
    EXPECT_EQ(Build("[/ICCBased 43 0 R]").space->profile(), nullptr);
    EXPECT_EQ(Build("[/ICCBased << /N 3 >>]").space, nullptr);
}

TEST_F(ColorSpaceTest, Indexed)
{
    Built indexed = Build("[/Indexed /DeviceRGB 1 <ff000000ff00>]");
    EXPECT_EQ(indexed.kind, ColorSpaceKind::Indexed);
    EXPECT_EQ(indexed.count, 1);
    EXPECT_EQ(indexed.space->hival(), 1);
    EXPECT_EQ(indexed.space->colorTable(), QByteArray::fromHex("ff000000ff00"));
    // A lookup string shorter than (hival + 1) entries is filled with zeros.
    EXPECT_EQ(Build("[/I /RGB 2 <ff0000>]").space->colorTable(), QByteArray::fromHex("ff0000000000000000"));
    EXPECT_EQ(Build("[/Indexed /DeviceGray 300 <>]").space->colorTable().size(), 256);
    objects.addStream(45, "", QByteArray::fromHex("0a0b0c0d"));
    EXPECT_EQ(Build("[/Indexed /DeviceGray 3 45 0 R]").space->colorTable(), QByteArray::fromHex("0a0b0c0d"));
    EXPECT_EQ(Build("[/Indexed /Pattern 1 <0000>]").space, nullptr);
    EXPECT_EQ(Build("[/Indexed [/Indexed /DeviceRGB 0 <000000>] 0 <00>]").space, nullptr);
}

// The table of an Indexed space over a Separation or DeviceN space holds alternate-space bytes.
TEST_F(ColorSpaceTest, IndexedOverSpecialSpacesConvertsItsTable)
{
    Built separation = Build("[/Indexed [/Separation /Spot /DeviceCMYK << /FunctionType 2 /Domain [0 1] "
                             "/C0 [0 0 0 0] /C1 [0.5 0 1 0] /N 1 >>] 1 <00ff>]");
    ASSERT_TRUE(separation.space);
    EXPECT_EQ(separation.space->base()->model(), Model::CMYK);
    EXPECT_EQ(separation.space->colorTable(), QByteArray::fromHex("000000008000ff00"));
    objects.addStream(46, "/FunctionType 4 /Domain [0 1 0 1] /Range [0 1 0 1 0 1]", "{ 2 copy add 3 1 roll }");
    Built deviceN = Build("[/Indexed [/DeviceN [/A /B] /DeviceRGB 46 0 R] 1 <ff00 3366>]");
    ASSERT_TRUE(deviceN.space);
    EXPECT_EQ(deviceN.space->colorTable(), QByteArray::fromHex("ffff00"
                                                               "993366"));
    // A tint transform that gives another number of components than the alternate has.
    EXPECT_EQ(Build("[/Indexed [/Separation /Spot /DeviceRGB << /FunctionType 2 /Domain [0 1] /C1 [1] /N 1 >>] "
                    "1 <00ff>]")
                  .space,
              nullptr);
}

TEST_F(ColorSpaceTest, SeparationAndDeviceN)
{
    Built separation = Build("[/Separation /Spot /DeviceCMYK << /FunctionType 2 /Domain [0 1] /C1 [1 0 0 0] /N 1 >>]");
    EXPECT_EQ(separation.kind, ColorSpaceKind::Separation);
    EXPECT_EQ(separation.count, 4);
    EXPECT_EQ(separation.space->model(), Model::CMYK);
    Built deviceN = Build("[/DeviceN [/A /B] [/CalGray << /WhitePoint [0.9505 1 1.089] >>] "
                          "<< /FunctionType 2 /Domain [0 1] /C1 [1] /N 1 >>]");
    EXPECT_EQ(deviceN.kind, ColorSpaceKind::DeviceN);
    EXPECT_EQ(deviceN.count, 1);
    EXPECT_EQ(Build("[/Separation /Spot]").space->model(), Model::Gray);
    EXPECT_EQ(Build("[/Separation /Spot [/Indexed /DeviceRGB 0 <000000>] 1]").space, nullptr);
    EXPECT_EQ(Build("[/Separation /Spot [/Separation /Other /DeviceRGB 1] 1]").space, nullptr);
}

// Arrays that refer to themselves through their base or alternate end as none.
TEST_F(ColorSpaceTest, SelfReferenceEnds)
{
    objects.add(30, "[/Indexed 30 0 R 1 <0000>]");
    objects.add(31, "[/Separation /A 31 0 R << /FunctionType 2 /Domain [0 1] /C1 [1] /N 1 >>]");
    objects.add(32, "[/Indexed [/DeviceN [/A] 33 0 R << /FunctionType 2 /Domain [0 1] /C1 [1] /N 1 >>] 0 <00>]");
    objects.add(33, "[/DeviceN [/B] 32 0 R << /FunctionType 2 /Domain [0 1] /C1 [1] /N 1 >>]");
    EXPECT_EQ(BuildObject(objects.object(30)).space, nullptr);
    EXPECT_EQ(BuildObject(objects.object(31)).space, nullptr);
    EXPECT_EQ(BuildObject(objects.object(32)).space, nullptr);
}
