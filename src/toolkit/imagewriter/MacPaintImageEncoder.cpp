#include "toolkit/imagewriter/ImageEncoder.h"

#include <algorithm>
#include <iterator>

// MacPaint pictures are 576 × 720 dots, one bit each (1 = black), rows PackBits-compressed after a
// 512-byte header. A picture of another size is placed at the top-left and cut off or padded with white.

namespace {

constexpr int kWidth = 576;
constexpr int kHeight = 720;
constexpr int kRowBytes = kWidth / 8;

void PackRow(const uchar* row, QByteArray& out)
{
    int at = 0;
    while (at < kRowBytes) {
        int run = 1;
        while (at + run < kRowBytes && run < 128 && row[at + run] == row[at])
            ++run;
        if (run >= 2) {
            out.append(static_cast<char>(1 - run));
            out.append(static_cast<char>(row[at]));
            at += run;
            continue;
        }
        int literal = 1;
        while (at + literal < kRowBytes && literal < 128
               && !(at + literal + 1 < kRowBytes && row[at + literal] == row[at + literal + 1]))
            ++literal;
        out.append(static_cast<char>(literal - 1));
        out.append(reinterpret_cast<const char*>(row + at), literal);
        at += literal;
    }
}

} // namespace

bool EncodeMacPaintImage(const BitmapImageRep& image, QByteArray& out)
{
    const QImage grey = FlattenOnWhite(image.image()).convertToFormat(QImage::Format_Grayscale8);
    if (grey.isNull())
        return false;
    out = QByteArray(512, char(0));
    uchar row[kRowBytes];
    for (int y = 0; y < kHeight; ++y) {
        std::fill(std::begin(row), std::end(row), uchar(0));
        if (y < grey.height()) {
            const uchar* line = grey.constScanLine(y);
            for (int x = 0; x < std::min(kWidth, grey.width()); ++x) {
                if (line[x] < 128)
                    row[x / 8] |= static_cast<uchar>(0x80 >> (x % 8));
            }
        }
        PackRow(row, out);
    }
    return true;
}
