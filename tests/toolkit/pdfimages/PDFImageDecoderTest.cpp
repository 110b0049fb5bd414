#include "PDFImageTestFiles.h"

#include "toolkit/converter/PDFSourceDocument.h"
#include "toolkit/helpers/ImageTypeCodes.h"
#include "toolkit/pdfimages/PDFImageDecoder.h"

#include <QTemporaryDir>

#include <Object.h>
#include <Dict.h>
#include <PDFDoc.h>
#include <Page.h>

#include <lcms2.h>

#include <gtest/gtest.h>

namespace {

// Writes a one-page PDF holding the image as /Im0 and decodes it as the extractor would.
class DecodedImage {
public:
    explicit DecodedImage(TestXObject image, std::uint32_t outputType = ImageType::PNG, QByteArray colorSpaces = {})
    {
        image.name = "Im0";
        const QString path = m_folder.filePath("image.pdf");
        WriteTestPDF(path, {TestPage{{image}, "q Q", colorSpaces}});
        m_document = PDFSourceDocument::open(path);
        Page* page = m_document->document()->getPage(1);
        Dict* resources = page->getResourceDict();
        m_colorSpaces = resources->lookup("ColorSpace");
        m_stream = resources->lookup("XObject").dictLookup("Im0");
        const PDFImageDecodeContext context{m_colorSpaces.isDict() ? m_colorSpaces.getDict() : nullptr, outputType};
        m_bitmap = DecodePDFImage(context, *m_stream.streamGetDict(), *m_stream.getStream());
    }

    const std::shared_ptr<BitmapImageRep>& bitmap() const { return m_bitmap; }
    QImage rgba() const { return m_bitmap->image().convertToFormat(QImage::Format_RGBA8888); }

private:
    QTemporaryDir m_folder;
    std::unique_ptr<PDFSourceDocument> m_document;
    Object m_colorSpaces;
    Object m_stream;
    std::shared_ptr<BitmapImageRep> m_bitmap;
};

QByteArray ImageEntries(int width, int height, const QByteArray& colorSpace, int bits, const QByteArray& more = {})
{
    return "/Type /XObject /Subtype /Image /Width " + QByteArray::number(width) + " /Height "
           + QByteArray::number(height) + " /ColorSpace " + colorSpace + " /BitsPerComponent "
           + QByteArray::number(bits) + " " + more;
}

// Packed RGB of a QImage, for comparison with what went in.
QByteArray RGBBytes(const QImage& image)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    QByteArray bytes;
    for (int y = 0; y < rgb.height(); ++y)
        bytes.append(reinterpret_cast<const char*>(rgb.constScanLine(y)), rgb.width() * 3);
    return bytes;
}

QByteArray GrayBytes(const QImage& image)
{
    const QImage gray = image.convertToFormat(QImage::Format_Grayscale8);
    QByteArray bytes;
    for (int y = 0; y < gray.height(); ++y)
        bytes.append(reinterpret_cast<const char*>(gray.constScanLine(y)), gray.width());
    return bytes;
}

const QByteArray kRGB = Bytes({255, 0, 0, 0, 255, 0, 0, 0, 255, 10, 20, 30, 200, 200, 200, 0, 0, 0});

int MaxDifference(const QByteArray& a, const QByteArray& b)
{
    if (a.size() != b.size())
        return 256;
    int most = 0;
    for (qsizetype i = 0; i < a.size(); ++i)
        most = std::max(most, std::abs(uchar(a[i]) - uchar(b[i])));
    return most;
}

// A profile's bytes as a PDF stream holds them; the profile is closed.
QByteArray TakeProfileBytes(cmsHPROFILE profile)
{
    cmsUInt32Number size = 0;
    cmsSaveProfileToMem(profile, nullptr, &size);
    QByteArray bytes(qsizetype(size), '\0');
    cmsSaveProfileToMem(profile, bytes.data(), &size);
    cmsCloseProfile(profile);
    return bytes;
}

// An RGB profile of sRGB's primaries with a linear tone curve: its mid values are far lighter in sRGB.
QByteArray LinearRGBProfile()
{
    cmsToneCurve* linear = cmsBuildGamma(nullptr, 1.0);
    cmsToneCurve* curves[3] = {linear, linear, linear};
    const cmsCIExyYTRIPLE primaries{{0.64, 0.33, 1}, {0.30, 0.60, 1}, {0.15, 0.06, 1}};
    cmsHPROFILE profile = cmsCreateRGBProfile(cmsD50_xyY(), &primaries, curves);
    cmsFreeToneCurve(linear);
    return TakeProfileBytes(profile);
}

QByteArray SRGBProfile()
{
    return TakeProfileBytes(cmsCreate_sRGBProfile());
}

} // namespace

TEST(PDFImageDecoderTest, EveryFilterChainGivesBackTheSamples)
{
    using namespace TestFilters;
    const struct {
        QByteArray filter;
        QByteArray bytes;
    } chains[] = {
        {"", kRGB},
        {"/Filter /FlateDecode", Flate(kRGB)},
        {"/Filter /LZWDecode", LZW(kRGB)},
        {"/Filter /RunLengthDecode", RunLength(kRGB)},
        {"/Filter /ASCII85Decode", ASCII85(kRGB)},
        {"/Filter /ASCIIHexDecode", ASCIIHex(kRGB)},
        {"/Filter [/ASCIIHexDecode /FlateDecode]", ASCIIHex(Flate(kRGB))},
        {"/Filter [/ASCII85Decode /LZWDecode]", ASCII85(LZW(kRGB))},
        {"/Filter [/ASCII85Decode /RunLengthDecode]", ASCII85(RunLength(kRGB))},
    };
    for (const auto& chain : chains) {
        DecodedImage decoded({"", ImageEntries(3, 2, "/DeviceRGB", 8, chain.filter), chain.bytes});
        ASSERT_TRUE(decoded.bitmap()) << chain.filter.constData();
        EXPECT_EQ(RGBBytes(decoded.bitmap()->image()), kRGB) << chain.filter.constData();
    }
}

TEST(PDFImageDecoderTest, JPEGAndJPEG2000AreFinishedByTheToolkitsCodecs)
{
    using namespace TestFilters;
    QByteArray gray;
    for (int i = 0; i < 64; ++i)
        gray += char(i * 4);
    DecodedImage jpeg({"", ImageEntries(8, 8, "/DeviceGray", 8, "/Filter /DCTDecode"), JPEG(gray, 8, 8, 1)});
    ASSERT_TRUE(jpeg.bitmap());
    EXPECT_EQ(jpeg.bitmap()->colorSpace(), ColorSpaceModel::Grey);
    EXPECT_LE(MaxDifference(GrayBytes(jpeg.bitmap()->image()), gray), 4);

    // A JPEG behind Flate: the earlier filters are undone, the JPEG is left to the codec.
    DecodedImage chained({"", ImageEntries(8, 8, "/DeviceGray", 8, "/Filter [/FlateDecode /DCTDecode]"),
                          Flate(JPEG(gray, 8, 8, 1))});
    ASSERT_TRUE(chained.bitmap());
    EXPECT_LE(MaxDifference(GrayBytes(chained.bitmap()->image()), gray), 4);

    // No colour space in the dictionary: the codestream's RGB, at the dictionary's size.
    DecodedImage jpx({"", "/Type /XObject /Subtype /Image /Width 3 /Height 2 /Filter /JPXDecode",
                      JPEG2000(kRGB, 3, 2)});
    ASSERT_TRUE(jpx.bitmap());
    EXPECT_EQ(jpx.bitmap()->image().size(), QSize(3, 2));
    EXPECT_EQ(RGBBytes(jpx.bitmap()->image()), kRGB);
}

TEST(PDFImageDecoderTest, FaxDataDecodesToOneBitGray)
{
    // 16 × 2: the first row half black, the second all white (1 = black for the fax encoder).
    const QByteArray rows = Bytes({0xff, 0x00, 0x00, 0x00});
    DecodedImage fax({"", ImageEntries(16, 2, "/DeviceGray", 1, "/Filter /CCITTFaxDecode /DecodeParms << /K -1 /Columns 16 /Rows 2 >>"),
                      TestFilters::CCITTGroup4(rows, 16, 2)});
    ASSERT_TRUE(fax.bitmap());
    const QByteArray gray = GrayBytes(fax.bitmap()->image());
    EXPECT_EQ(gray.left(16), QByteArray(8, '\0') + QByteArray(8, char(255)));
    EXPECT_EQ(gray.mid(16), QByteArray(16, char(255)));
}

TEST(PDFImageDecoderTest, DeviceSpacesAtEveryDepth)
{
    DecodedImage twoBit({"", ImageEntries(5, 1, "/DeviceGray", 2), Bytes({0b00011011, 0b10000000})});
    ASSERT_TRUE(twoBit.bitmap());
    EXPECT_EQ(GrayBytes(twoBit.bitmap()->image()), Bytes({0, 85, 170, 255, 170}));

    DecodedImage sixteen({"", ImageEntries(2, 1, "/DeviceGray", 16), Bytes({0x12, 0x34, 0xab, 0xcd})});
    ASSERT_TRUE(sixteen.bitmap());
    EXPECT_EQ(GrayBytes(sixteen.bitmap()->image()), Bytes({0x12, 0xab}));

    // CMYK keeps its inks beside the RGB made for drawing, which is the colour the page renderer
    // gives them: black ink alone is not pure black, full cyan is no pure (0, 255, 255).
    DecodedImage cmyk({"", ImageEntries(3, 1, "/DeviceCMYK", 8), Bytes({0, 0, 0, 0, 0, 0, 0, 255, 255, 0, 0, 0})});
    ASSERT_TRUE(cmyk.bitmap());
    EXPECT_EQ(cmyk.bitmap()->colorSpace(), ColorSpaceModel::CMYK);
    EXPECT_EQ(cmyk.bitmap()->cmykSamples(), Bytes({0, 0, 0, 0, 0, 0, 0, 255, 255, 0, 0, 0}));
    EXPECT_EQ(RGBBytes(cmyk.bitmap()->image()), Bytes({255, 255, 255, 35, 31, 32, 0, 172, 239}));

    // A 1-bit image without a colour space: gray, 0 black and 1 white; Decode (1, 0) turns it round.
    DecodedImage bare({"", "/Type /XObject /Subtype /Image /Width 2 /Height 1 /BitsPerComponent 1",
                       Bytes({0b01000000})});
    ASSERT_TRUE(bare.bitmap());
    EXPECT_EQ(GrayBytes(bare.bitmap()->image()), Bytes({0, 255}));
    DecodedImage inverted({"", "/Type /XObject /Subtype /Image /Width 2 /Height 1 /BitsPerComponent 1 /Decode [1 0]",
                           Bytes({0b01000000})});
    ASSERT_TRUE(inverted.bitmap());
    EXPECT_EQ(GrayBytes(inverted.bitmap()->image()), Bytes({255, 0}));

    DecodedImage decoded8({"", ImageEntries(2, 1, "/DeviceGray", 8, "/Decode [1 0]"), Bytes({0, 200})});
    ASSERT_TRUE(decoded8.bitmap());
    EXPECT_EQ(GrayBytes(decoded8.bitmap()->image()), Bytes({255, 55}));
}

TEST(PDFImageDecoderTest, SpecialFamiliesBecomeTheirBaseSpace)
{
    // Indexed, 2 bits, width 5: the sample 3 is beyond hival 2 and takes entry 2.
    DecodedImage indexed({"", ImageEntries(5, 1, "[/Indexed /DeviceRGB 2 <ff000000ff000000ff>]", 2),
                          Bytes({0b00011011, 0b01000000})});
    ASSERT_TRUE(indexed.bitmap());
    EXPECT_EQ(RGBBytes(indexed.bitmap()->image()),
              Bytes({255, 0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 255, 0, 255, 0}));

    // Separation over gray, tint 1 is black.
    DecodedImage separation(
        {"", ImageEntries(2, 1, "[/Separation /Ink /DeviceGray << /FunctionType 2 /Domain [0 1] /C0 [1] /C1 [0] /N 1 >>]", 8),
         Bytes({0, 255})});
    ASSERT_TRUE(separation.bitmap());
    EXPECT_EQ(GrayBytes(separation.bitmap()->image()), Bytes({255, 0}));

    // DeviceN of two inks into RGB through a calculator: (a, b) → (a, b, 0).
    DecodedImage deviceN({"", ImageEntries(1, 1, "[/DeviceN [/A /B] /DeviceRGB @1]", 8), Bytes({255, 0}), {TestXObject{"", "/FunctionType 4 /Domain [0 1 0 1] /Range [0 1 0 1 0 1]", "{ 0 }"}}});
    ASSERT_TRUE(deviceN.bitmap());
    EXPECT_EQ(RGBBytes(deviceN.bitmap()->image()), Bytes({255, 0, 0}));

    // A name resolved through the page's colour-space resources.
    DecodedImage named({"", ImageEntries(2, 1, "/CS0", 8), Bytes({0, 1})}, ImageType::PNG,
                       "/CS0 [/Indexed /DeviceGray 1 <20e0>]");
    ASSERT_TRUE(named.bitmap());
    EXPECT_EQ(GrayBytes(named.bitmap()->image()), Bytes({0x20, 0xe0}));
}

TEST(PDFImageDecoderTest, CalibratedAndICCSpaces)
{
    DecodedImage icc({"", ImageEntries(3, 2, "[/ICCBased @1]", 8), kRGB, {TestXObject{"", "/N 3", SRGBProfile()}}});
    ASSERT_TRUE(icc.bitmap());
    EXPECT_EQ(RGBBytes(icc.bitmap()->image()), kRGB);
    // Converted to sRGB: the profile no longer describes the pixels.
    EXPECT_TRUE(icc.bitmap()->iccProfile().isEmpty());

    DecodedImage calRGB({"", ImageEntries(3, 2, "[/CalRGB << /WhitePoint [0.9505 1 1.089] >>]", 8), kRGB});
    ASSERT_TRUE(calRGB.bitmap());
    EXPECT_EQ(RGBBytes(calRGB.bitmap()->image()), kRGB);

    // Another profile's colours are converted into sRGB, not written as they are.
    DecodedImage linear({"", ImageEntries(1, 1, "[/ICCBased @1]", 8), Bytes({128, 128, 128}), {TestXObject{"", "/N 3", LinearRGBProfile()}}});
    ASSERT_TRUE(linear.bitmap());
    const QByteArray lighter = RGBBytes(linear.bitmap()->image());
    for (char value : lighter)
        EXPECT_GT(uchar(value), 170);

    // Lab with its default Decode (L* 0 to 100, a* and b* over the Range) is neutral grey, not cyan.
    DecodedImage labDecode({"", ImageEntries(1, 1, "[/Lab << /WhitePoint [0.9505 1 1.089] /Range [-128 127 -128 127] >>]", 8, "/Decode [0 100 -128 127 -128 127]"),
                            Bytes({128, 128, 128})});
    ASSERT_TRUE(labDecode.bitmap());
    const QByteArray grey = RGBBytes(labDecode.bitmap()->image());
    EXPECT_NEAR(uchar(grey[0]), uchar(grey[1]), 6);
    EXPECT_NEAR(uchar(grey[1]), uchar(grey[2]), 6);
    EXPECT_GT(uchar(grey[0]), 90);

    // Lab: full lightness and neutral a*, b* are white; no lightness is black.
    DecodedImage lab({"", ImageEntries(2, 1, "[/Lab << /WhitePoint [0.9505 1 1.089] /Range [-128 127 -128 127] >>]", 8),
                      Bytes({255, 128, 128, 0, 128, 128})});
    ASSERT_TRUE(lab.bitmap());
    const QByteArray rgb = RGBBytes(lab.bitmap()->image());
    EXPECT_GE(uchar(rgb[0]), 250);
    EXPECT_LE(uchar(rgb[3]), 5);
}

// A JPEG in a Separation or DeviceN space holds tints: they go through the tint transform whatever
// the alternate space's component count.
TEST(PDFImageDecoderTest, JPEGTintsGoThroughTheTintTransform)
{
    const QByteArray red = "/DeviceCMYK << /FunctionType 2 /Domain [0 1] /C0 [0 0 0 0] /C1 [0 1 1 0] /N 1 >>";
    const QByteArray tints = TestFilters::JPEG(QByteArray(16, char(255)), 4, 4, 1);
    DecodedImage spot({"", ImageEntries(4, 4, "[/Separation /Red " + red + "]", 8, "/Filter /DCTDecode"), tints});
    ASSERT_TRUE(spot.bitmap());
    const QRgb pixel = spot.bitmap()->image().pixel(1, 1);
    EXPECT_GT(qRed(pixel), 200);
    EXPECT_LT(qGreen(pixel), 90);
    EXPECT_LT(qBlue(pixel), 90);

    // Three inks in an RGB JPEG; the function makes the first ink cyan, the others nothing.
    const QByteArray inks = TestFilters::JPEG(QByteArray::fromHex("ff0000").repeated(16), 4, 4, 3);
    DecodedImage deviceN({"", ImageEntries(4, 4, "[/DeviceN [/A /B /C] /DeviceCMYK @1]", 8, "/Filter /DCTDecode"), inks, {TestXObject{"", "/FunctionType 4 /Domain [0 1 0 1 0 1] /Range [0 1 0 1 0 1 0 1]", "{ pop pop 0 0 0 }"}}});
    ASSERT_TRUE(deviceN.bitmap());
    const QRgb cyan = deviceN.bitmap()->image().pixel(1, 1);
    EXPECT_LT(qRed(cyan), 60);
    EXPECT_GT(qBlue(cyan), 180);
}

TEST(PDFImageDecoderTest, MasksWhenTheOutputKeepsAlpha)
{
    // Colour key: pure red is transparent.
    const TestXObject keyed{"", ImageEntries(3, 2, "/DeviceRGB", 8, "/Mask [250 255 0 5 0 5]"), kRGB};
    DecodedImage png(keyed);
    ASSERT_TRUE(png.bitmap());
    EXPECT_TRUE(png.bitmap()->hasAlpha());
    EXPECT_EQ(qAlpha(png.rgba().pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(png.rgba().pixel(1, 0)), 255);
    DecodedImage jpeg(keyed, ImageType::JPEG);
    ASSERT_TRUE(jpeg.bitmap());
    EXPECT_FALSE(jpeg.bitmap()->hasAlpha());

    // A stencil mask paints where its sample is 0; Decode [1 0] paints where it is 1.
    const TestXObject stencil{"", "/Type /XObject /Subtype /Image /Width 2 /Height 1 /ImageMask true", Bytes({0b01000000})};
    TestXObject masked{"", ImageEntries(2, 1, "/DeviceGray", 8, "/Mask @1"), Bytes({100, 100}), {stencil}};
    DecodedImage direct(masked);
    ASSERT_TRUE(direct.bitmap());
    EXPECT_EQ(qAlpha(direct.rgba().pixel(0, 0)), 255);
    EXPECT_EQ(qAlpha(direct.rgba().pixel(1, 0)), 0);
    masked.referenced[0].entries += " /Decode [1 0]";
    DecodedImage reversed(masked);
    ASSERT_TRUE(reversed.bitmap());
    EXPECT_EQ(qAlpha(reversed.rgba().pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(reversed.rgba().pixel(1, 0)), 255);

    // A soft mask's gray is the alpha itself, scaled onto the image when its size differs.
    const TestXObject soft{"", ImageEntries(1, 1, "/DeviceGray", 8), Bytes({64})};
    DecodedImage smask({"", ImageEntries(2, 1, "/DeviceGray", 8, "/SMask @1"), Bytes({100, 100}), {soft}});
    ASSERT_TRUE(smask.bitmap());
    EXPECT_EQ(qAlpha(smask.rgba().pixel(0, 0)), 64);
    EXPECT_EQ(qAlpha(smask.rgba().pixel(1, 0)), 64);
    DecodedImage smaskJPEG({"", ImageEntries(2, 1, "/DeviceGray", 8, "/SMask @1"), Bytes({100, 100}), {soft}},
                           ImageType::JPEG);
    ASSERT_TRUE(smaskJPEG.bitmap());
    EXPECT_FALSE(smaskJPEG.bitmap()->hasAlpha());
}

TEST(PDFImageDecoderTest, MalformedImagesAreRefusedOrPadded)
{
    // Truncated samples: the missing rows are padded with zeros, never read past the data.
    DecodedImage truncated({"", ImageEntries(2, 3, "/DeviceGray", 8), Bytes({9, 9, 9})});
    ASSERT_TRUE(truncated.bitmap());
    EXPECT_EQ(GrayBytes(truncated.bitmap()->image()), Bytes({9, 9, 9, 0, 0, 0}));
    DecodedImage truncatedIndexed({"", ImageEntries(4, 2, "[/Indexed /DeviceRGB 1 <ff0000 00ff00>]", 1),
                                   Bytes({0b10100000})});
    ASSERT_TRUE(truncatedIndexed.bitmap());
    EXPECT_EQ(truncatedIndexed.bitmap()->image().size(), QSize(4, 2));

    // Sizes and depths out of bounds are refused before anything is allocated.
    EXPECT_FALSE(DecodedImage({"", ImageEntries(100000, 1, "/DeviceGray", 8), Bytes({1})}).bitmap());
    EXPECT_FALSE(DecodedImage({"", ImageEntries(0, 1, "/DeviceGray", 8), Bytes({1})}).bitmap());
    EXPECT_FALSE(DecodedImage({"", ImageEntries(32768, 32768, "/DeviceCMYK", 16), Bytes({1})}).bitmap());
    EXPECT_FALSE(DecodedImage({"", ImageEntries(1, 1, "/DeviceGray", 3), Bytes({1})}).bitmap());
    EXPECT_FALSE(DecodedImage({"", "/Type /XObject /Subtype /Image /Height 1", Bytes({1})}).bitmap());
    EXPECT_FALSE(DecodedImage({"", ImageEntries(1, 1, "/DeviceGray", 8), QByteArray()}).bitmap());
    // A tint transform that gives the wrong number of colours: the ink values are not shown as gray.
    EXPECT_FALSE(DecodedImage({"", ImageEntries(2, 1, "[/Separation /Ink /DeviceGray << /FunctionType 2 /Domain [0 1] "
                                                      "/C0 [0 0 0] /C1 [1 1 1] /N 1 >>]",
                                                8),
                               Bytes({0, 255})})
                     .bitmap());
    // Not JPEG at all behind DCTDecode: no image, no crash.
    EXPECT_FALSE(DecodedImage({"", ImageEntries(2, 2, "/DeviceRGB", 8, "/Filter /DCTDecode"), "not a jpeg"}).bitmap());

    // A soft mask whose own mask is itself ends; the image keeps the mask it could make.
    const TestXObject loop{"", ImageEntries(1, 1, "/DeviceGray", 8, "/SMask @self"), Bytes({128})};
    DecodedImage looped({"", ImageEntries(1, 1, "/DeviceGray", 8, "/SMask @1"), Bytes({7}), {loop}});
    ASSERT_TRUE(looped.bitmap());
    EXPECT_EQ(qAlpha(looped.rgba().pixel(0, 0)), 128);
}
