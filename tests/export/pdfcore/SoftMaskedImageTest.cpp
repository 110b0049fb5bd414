#include "export/pdfcore/CorePDFDocument.h"
#include "export/pdfcore/LocatorTextOutputDev.h"
#include "export/pdfcore/PageDisplay.h"
#include "export/pdfcore/SoftMaskedImageDrawing.h"

#include "support/TestPdf.h"

// Poppler's Object.h must come before Dict.h.
#include <Object.h>
#include <Dict.h>
#include <Stream.h>

#include <gtest/gtest.h>

#include <vector>

namespace {

struct ImageCall
{
    Object ref;
    int width;
    int height;
    const int* maskColors;
};

// Our text device, made to receive images and to note every image it is asked to draw.
class ImageRecordingDevice : public PDFCore::LocatorTextOutputDev
{
public:
    bool needNonText() override { return true; }

    void drawImage(GfxState* /*state*/, Object* ref, Stream* /*str*/, int width, int height,
                   GfxImageColorMap* /*colorMap*/, bool /*interpolate*/, const int* maskColors,
                   bool /*inlineImg*/) override
    {
        calls.push_back(ImageCall{ref ? ref->copy() : Object(objNull), width, height, maskColors});
    }

    std::vector<ImageCall> calls;
};

// A page drawing a 3 x 2 RGB image (object 5) whose soft mask is a 2 x 1 grey image (object 6).
QByteArray softMaskedImagePage()
{
    return TestPdf::build({
        "<< /Type /Catalog /Pages 2 0 R >>",
        "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 200 200] /Contents 4 0 R"
        " /Resources << /XObject << /Im1 5 0 R >> >> >>",
        TestPdf::stream("q 100 0 0 100 50 50 cm /Im1 Do Q"),
        TestPdf::stream(QByteArray(18, '\x80'), "/Type /XObject /Subtype /Image /Width 3 /Height 2"
                                                " /ColorSpace /DeviceRGB /BitsPerComponent 8 /SMask 6 0 R"),
        TestPdf::stream(QByteArray(2, '\x40'), "/Type /XObject /Subtype /Image /Width 2 /Height 1"
                                               " /ColorSpace /DeviceGray /BitsPerComponent 8"),
    });
}

TEST(SoftMaskedImage, IsDrawnAsTheImageThenItsMask)
{
    const auto document = PDFCore::CorePDFDocument::fromBytes(softMaskedImagePage());
    ASSERT_TRUE(document);
    ImageRecordingDevice device;
    PDFCore::displayPages(document->document(), device, 1, 1, 72, 72, 0, false, true, false);

    ASSERT_EQ(device.calls.size(), 2u);
    const ImageCall& image = device.calls[0];
    ASSERT_TRUE(image.ref.isRef());
    EXPECT_EQ(image.ref.getRef().num, 5);
    EXPECT_EQ(image.width, 3);
    EXPECT_EQ(image.height, 2);
    EXPECT_EQ(image.maskColors, nullptr);

    const ImageCall& mask = device.calls[1];
    ASSERT_TRUE(mask.ref.isRef()); // the entry as stored, not the object it refers to
    EXPECT_EQ(mask.ref.getRef().num, 6);
    EXPECT_EQ(mask.width, 2);
    EXPECT_EQ(mask.height, 1);
    ASSERT_TRUE(PDFCore::isSoftMaskCall(mask.maskColors));
    EXPECT_EQ(mask.maskColors[0], 1);
}

TEST(SoftMaskedImage, WithoutSMaskEntryTheMaskCallGetsTheNullObject)
{
    static const char data[4] = {};
    MemStream image(data, 0, sizeof data, Object(new Dict(static_cast<XRef*>(nullptr))));
    MemStream mask(data, 0, sizeof data, Object(objNull));
    Object imageRef(objNull);
    ImageRecordingDevice device;
    device.drawSoftMaskedImage(nullptr, &imageRef, &image, 2, 2, nullptr, false, &mask, 4, 1, nullptr, false);

    ASSERT_EQ(device.calls.size(), 2u);
    EXPECT_FALSE(PDFCore::isSoftMaskCall(device.calls[0].maskColors));
    EXPECT_TRUE(device.calls[1].ref.isNull());
    EXPECT_EQ(device.calls[1].width, 4);
    EXPECT_TRUE(PDFCore::isSoftMaskCall(device.calls[1].maskColors));
}

} // namespace
