// Run-length encoded SGI rows: a run that would carry a row past the picture's width, and a row
// that ends short of it, are refused; rows that fill the width exactly are read, in one or two bytes
// a sample.

#include "toolkit/imageio/ImageRep.h"
#include "toolkit/imageio/ImageReaders.h"

#include <QByteArray>
#include <QImage>

#include <gtest/gtest.h>

#include <memory>

namespace {

void appendBig(QByteArray& bytes, quint32 value, int width)
{
    for (int shift = 8 * (width - 1); shift >= 0; shift -= 8)
        bytes.append(static_cast<char>((value >> shift) & 0xFF));
}

// A grey picture `width` pixels wide and one row high whose only row is `row`.
QByteArray oneRowPicture(const QByteArray& row, int bytesPerSample = 1, int width = 4)
{
    QByteArray file;
    appendBig(file, 474, 2);
    file.append('\1'); // run-length encoded
    file.append(static_cast<char>(bytesPerSample));
    appendBig(file, 2, 2);
    appendBig(file, static_cast<quint32>(width), 2);
    appendBig(file, 1, 2); // height
    appendBig(file, 1, 2); // channels
    file.append(QByteArray(512 - file.size(), '\0'));
    appendBig(file, 520, 4);
    appendBig(file, static_cast<quint32>(row.size()), 4);
    return file + row;
}

std::shared_ptr<BitmapImageRep> read(const QByteArray& row)
{
    const ImageRepList reps = ReadSGIRepresentations(oneRowPicture(row));
    return reps.size() == 1 ? std::dynamic_pointer_cast<BitmapImageRep>(reps.front()) : nullptr;
}

} // namespace

TEST(SGIRunLength, RowsThatFillTheWidthExactlyAreRead)
{
    const auto literal = read(QByteArray("\x84\x10\x20\x30\x40\x00", 6));
    ASSERT_TRUE(literal);
    EXPECT_EQ(qGray(literal->image().pixel(0, 0)), 0x10);
    EXPECT_EQ(qGray(literal->image().pixel(3, 0)), 0x40);
    const auto repeated = read(QByteArray("\x01\x11\x03\x77\x00", 5));
    ASSERT_TRUE(repeated);
    EXPECT_EQ(qGray(repeated->image().pixel(0, 0)), 0x11);
    EXPECT_EQ(qGray(repeated->image().pixel(1, 0)), 0x77);
    EXPECT_EQ(qGray(repeated->image().pixel(3, 0)), 0x77);
}

TEST(SGIRunLength, ARunPastTheWidthIsRefused)
{
    EXPECT_FALSE(read(QByteArray("\x85\x10\x20\x30\x40\x50\x00", 7)));
    EXPECT_FALSE(read(QByteArray("\x05\x10\x00", 3)));
    EXPECT_FALSE(read(QByteArray("\x02\x10\x83\x20\x30\x40\x00", 7)));
}

TEST(SGIRunLength, ARowThatEndsShortIsRefused)
{
    EXPECT_FALSE(read(QByteArray("\x83\x10\x20\x30\x00", 5)));
    EXPECT_FALSE(read(QByteArray("\x03\x10\x00", 3)));
}

TEST(SGIRunLength, RunsOfTwoByteSamplesKeepTheirHighByte)
{
    // Two pixels of two bytes a sample: a run of two 0x12AB, then the row's end.
    QByteArray row;
    appendBig(row, 0x0002, 2);
    appendBig(row, 0x12AB, 2);
    appendBig(row, 0x0000, 2);
    const ImageRepList reps = ReadSGIRepresentations(oneRowPicture(row, 2, 2));
    ASSERT_EQ(reps.size(), 1u);
    const auto rep = std::dynamic_pointer_cast<BitmapImageRep>(reps.front());
    ASSERT_TRUE(rep);
    EXPECT_EQ(qGray(rep->image().pixel(0, 0)), 0x12);
    EXPECT_EQ(qGray(rep->image().pixel(1, 0)), 0x12);
}
