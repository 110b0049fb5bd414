// Colour-mapped TGA files: indices into a palette that starts at an entry other than 0, stored
// plainly and run-length encoded, with palettes of three and two bytes an entry. And grey pixels
// of two bytes, the second their alpha.

#include "toolkit/imageio/ImageRep.h"
#include "toolkit/imageio/ImageReaders.h"

#include <QByteArray>
#include <QImage>

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>

namespace {

void appendLittle16(QByteArray& bytes, int value)
{
    bytes.append(static_cast<char>(value & 0xFF));
    bytes.append(static_cast<char>((value >> 8) & 0xFF));
}

// A 2 × 2 picture, top row first, whose palette's first entry is number 2.
QByteArray colourMapped(bool runLength, int mapDepth, const QByteArray& palette, const QByteArray& pixels)
{
    QByteArray file;
    file.append('\0'); // no image id
    file.append('\1'); // a colour map follows
    file.append(static_cast<char>(runLength ? 9 : 1));
    appendLittle16(file, 2); // first entry
    appendLittle16(file, palette.size() / (mapDepth == 24 ? 3 : 2));
    file.append(static_cast<char>(mapDepth));
    appendLittle16(file, 0);
    appendLittle16(file, 0);
    appendLittle16(file, 2); // width
    appendLittle16(file, 2); // height
    file.append('\x08');     // one byte an index
    file.append('\x20');     // top row first
    return file + palette + pixels;
}

std::shared_ptr<BitmapImageRep> read(const QByteArray& file)
{
    const ImageRepList reps = ReadTGARepresentations(file);
    if (reps.size() != 1)
        return nullptr;
    return std::dynamic_pointer_cast<BitmapImageRep>(reps.front());
}

// Blue, green, red (stored BGR): entries 2, 3, 4.
const QByteArray kPalette24("\xFF\x00\x00"
                            "\x00\xFF\x00"
                            "\x00\x00\xFF",
                            9);

void expectPixels(const BitmapImageRep& rep, std::initializer_list<QRgb> expected)
{
    ASSERT_EQ(rep.image().size(), QSize(2, 2));
    const QRgb* want = expected.begin();
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 2; ++x, ++want)
            EXPECT_EQ(rep.image().pixel(x, y) | 0xFF000000u, *want) << x << "," << y;
    }
}

} // namespace

TEST(TGAColourMap, IndicesCountFromThePalettesFirstEntry)
{
    const auto rep = read(colourMapped(false, 24, kPalette24, QByteArray("\x02\x03\x04\x02", 4)));
    ASSERT_TRUE(rep);
    EXPECT_EQ(rep->colorSpace(), ColorSpaceModel::Indexed);
    expectPixels(*rep, {qRgb(0, 0, 255), qRgb(0, 255, 0), qRgb(255, 0, 0), qRgb(0, 0, 255)});
}

TEST(TGAColourMap, IndicesOutsideThePaletteAreBlack)
{
    // 1 lies below the first entry, 5 past the last.
    const auto rep = read(colourMapped(false, 24, kPalette24, QByteArray("\x01\x05\x04\x03", 4)));
    ASSERT_TRUE(rep);
    expectPixels(*rep, {qRgb(0, 0, 0), qRgb(0, 0, 0), qRgb(255, 0, 0), qRgb(0, 255, 0)});
}

TEST(TGAColourMap, RunLengthPacketsOfIndices)
{
    // A run of three entry-4 pixels, then one literal entry 3.
    const auto rep = read(colourMapped(true, 24, kPalette24, QByteArray("\x82\x04\x00\x03", 4)));
    ASSERT_TRUE(rep);
    expectPixels(*rep, {qRgb(255, 0, 0), qRgb(255, 0, 0), qRgb(255, 0, 0), qRgb(0, 255, 0)});
}

TEST(TGAColourMap, FifteenBitPaletteEntries)
{
    // 0x7C00 is full red, 0x001F full blue, in five bits a channel.
    const QByteArray palette("\x00\x7C\x1F\x00", 4);
    const auto rep = read(colourMapped(false, 15, palette, QByteArray("\x02\x03\x03\x02", 4)));
    ASSERT_TRUE(rep);
    expectPixels(*rep, {qRgb(255, 0, 0), qRgb(0, 0, 255), qRgb(0, 0, 255), qRgb(255, 0, 0)});
}

TEST(TGAColourMap, APaletteCutShortIsRefused)
{
    EXPECT_TRUE(ReadTGARepresentations(colourMapped(false, 24, kPalette24.left(7), {})).empty());
}

TEST(TGAColourMap, GreyPixelsOfTwoBytesCarryTheirAlpha)
{
    QByteArray file(18, '\0');
    file[2] = 3;     // grey, not compressed
    file[12] = 2;    // width
    file[14] = 1;    // height
    file[16] = 16;   // grey and alpha bytes
    file[17] = 0x28; // eight alpha bits, top row first
    file += QByteArray("\x80\xFF\x40\x00", 4);
    const ImageRepList reps = ReadTGARepresentations(file);
    ASSERT_EQ(reps.size(), 1u);
    const auto rep = std::dynamic_pointer_cast<BitmapImageRep>(reps.front());
    ASSERT_TRUE(rep);
    EXPECT_EQ(rep->image().pixel(0, 0), qRgba(0x80, 0x80, 0x80, 0xFF));
    EXPECT_EQ(qAlpha(rep->image().pixel(1, 0)), 0);
}
