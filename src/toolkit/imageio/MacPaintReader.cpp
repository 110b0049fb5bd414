#include "toolkit/imageio/ByteReader.h"
#include "toolkit/imageio/ImageReaders.h"

namespace {

constexpr int kWidth = 576;
constexpr int kHeight = 720;
constexpr int kRowBytes = kWidth / 8;
constexpr qsizetype kHeaderSize = 512;
constexpr qsizetype kMacBinaryHeaderSize = 128;

// A MacBinary wrapper names the file type "PNTG" at offset 65 and starts with a zero byte.
bool hasMacBinaryHeader(const QByteArray& bytes)
{
    return bytes.size() > kMacBinaryHeaderSize + kHeaderSize && bytes[0] == 0 && bytes.mid(65, 4) == "PNTG";
}

} // namespace

ImageRepList ReadMacPaintRepresentations(const QByteArray& bytes)
{
    const qsizetype start = (hasMacBinaryHeader(bytes) ? kMacBinaryHeaderSize : 0) + kHeaderSize;
    if (bytes.size() <= start)
        return {};
    ByteReader input(bytes, start);
    QImage pixels(kWidth, kHeight, QImage::Format_Grayscale8);
    unsigned char packed[kRowBytes];
    for (int y = 0; y < kHeight; ++y) {
        if (!UnpackBits(input, packed, kRowBytes))
            return {};
        unsigned char* row = pixels.scanLine(y);
        for (int x = 0; x < kWidth; ++x)
            row[x] = (packed[x / 8] & (0x80 >> (x % 8))) ? 0 : 255; // a set bit is black
    }
    BitmapImageRep::Description description;
    description.colorSpace = ColorSpaceModel::Grey;
    description.bitsPerComponent = 8;
    return {std::make_shared<BitmapImageRep>(std::move(pixels), std::move(description))};
}
