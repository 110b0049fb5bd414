// Photoshop files as other programs save them: a resolution given in pixels per centimetre, and an
// alpha channel stored after the colour channels, whose compressed rows are counted in the table of
// row lengths with the others.

#include "toolkit/imageio/ImageRep.h"
#include "toolkit/imageio/ImageReaders.h"

#include <QByteArray>
#include <QImage>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

void appendBig(QByteArray& bytes, quint32 value, int width)
{
    for (int shift = 8 * (width - 1); shift >= 0; shift -= 8)
        bytes.append(static_cast<char>((value >> shift) & 0xFF));
}

// A 2 × 1 RGB picture whose channels are `planes` (red, green, blue, then any extra channels), each
// a PackBits literal row, at `horizontal` and `vertical` pixels a unit (1 an inch, 2 a centimetre).
QByteArray photoshop(const std::vector<QByteArray>& planes, double horizontal, double vertical, int unit)
{
    QByteArray file("8BPS");
    appendBig(file, 1, 2);
    file.append(QByteArray(6, '\0'));
    appendBig(file, static_cast<quint32>(planes.size()), 2);
    appendBig(file, 1, 4); // height
    appendBig(file, 2, 4); // width
    appendBig(file, 8, 2);
    appendBig(file, 3, 2); // RGB
    appendBig(file, 0, 4); // no colour mode data
    QByteArray resolution;
    for (const double value : {horizontal, vertical}) {
        appendBig(resolution, static_cast<quint32>(value * 65536), 4);
        appendBig(resolution, static_cast<quint32>(unit), 2);
        appendBig(resolution, 1, 2); // the unit the width or height is shown in
    }
    QByteArray resources("8BIM");
    appendBig(resources, 0x03ED, 2);
    appendBig(resources, 0, 2); // an empty name, padded to an even length
    appendBig(resources, static_cast<quint32>(resolution.size()), 4);
    resources.append(resolution);
    appendBig(file, static_cast<quint32>(resources.size()), 4);
    file.append(resources);
    appendBig(file, 0, 4); // no layers
    appendBig(file, 1, 2); // PackBits
    for (std::size_t plane = 0; plane < planes.size(); ++plane)
        appendBig(file, 3, 2);
    for (const QByteArray& plane : planes)
        file.append('\x01' + plane); // two bytes as they are
    return file;
}

std::shared_ptr<BitmapImageRep> read(const QByteArray& file)
{
    const ImageRepList reps = ReadPhotoshopRepresentations(file);
    return reps.size() == 1 ? std::dynamic_pointer_cast<BitmapImageRep>(reps.front()) : nullptr;
}

const std::vector<QByteArray> kRedThenBlue{QByteArray("\xFF\x00", 2), QByteArray("\x00\x00", 2), QByteArray("\x00\xFF", 2)};

} // namespace

TEST(PhotoshopResources, AResolutionInPixelsPerCentimetreIsTakenInDotsPerInch)
{
    const auto bitmap = read(photoshop(kRedThenBlue, 100, 50, 2));
    ASSERT_TRUE(bitmap);
    EXPECT_DOUBLE_EQ(bitmap->dpiX(), 254);
    EXPECT_DOUBLE_EQ(bitmap->dpiY(), 127);
    const auto inches = read(photoshop(kRedThenBlue, 300, 150, 1));
    ASSERT_TRUE(inches);
    EXPECT_DOUBLE_EQ(inches->dpiX(), 300);
    EXPECT_DOUBLE_EQ(inches->dpiY(), 150);
    // 1/65536 of a dot an inch is no resolution: the picture would be kilometres wide.
    const auto nearZero = read(photoshop(kRedThenBlue, 1.0 / 65536, 1.0 / 65536, 1));
    ASSERT_TRUE(nearZero);
    EXPECT_DOUBLE_EQ(nearZero->dpiX(), 72);
    EXPECT_DOUBLE_EQ(nearZero->dpiY(), 72);
}

TEST(PhotoshopResources, ChannelsPastTheColoursDoNotShiftTheCompressedRows)
{
    std::vector<QByteArray> withAlpha = kRedThenBlue;
    withAlpha.push_back(QByteArray("\x80\x40", 2));
    for (const auto& planes : {kRedThenBlue, withAlpha}) {
        const auto bitmap = read(photoshop(planes, 72, 72, 1));
        ASSERT_TRUE(bitmap) << planes.size() << " channels";
        EXPECT_EQ(bitmap->image().pixel(0, 0) | 0xFF000000u, qRgb(255, 0, 0)) << planes.size() << " channels";
        EXPECT_EQ(bitmap->image().pixel(1, 0) | 0xFF000000u, qRgb(0, 0, 255)) << planes.size() << " channels";
    }
}
