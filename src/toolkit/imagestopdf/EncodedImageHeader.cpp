#include "toolkit/imagestopdf/EncodedImageHeader.h"

#include <cstdint>

namespace {

std::uint32_t BigEndian(const QByteArray& bytes, qsizetype at, int length)
{
    std::uint32_t value = 0;
    for (int i = 0; i < length; ++i)
        value = (value << 8) | static_cast<std::uint8_t>(bytes[at + i]);
    return value;
}

bool IsFrameMarker(std::uint8_t marker)
{
    // Start-of-frame markers; C4 (Huffman tables), C8 (reserved) and CC (arithmetic conditioning) are not.
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

bool ReadJPEGHeader(const QByteArray& bytes, PDFEncodedImage& image)
{
    qsizetype at = 2;
    while (at + 4 <= bytes.size()) {
        if (static_cast<std::uint8_t>(bytes[at]) != 0xFF)
            return false;
        const std::uint8_t marker = static_cast<std::uint8_t>(bytes[at + 1]);
        if (marker == 0xFF) {
            ++at;
            continue;
        }
        const qsizetype length = BigEndian(bytes, at + 2, 2);
        if (length < 2 || at + 2 + length > bytes.size())
            return false;
        const qsizetype segment = at + 4;
        if (IsFrameMarker(marker)) {
            if (length < 8)
                return false;
            image.height = static_cast<int>(BigEndian(bytes, segment + 1, 2));
            image.width = static_cast<int>(BigEndian(bytes, segment + 3, 2));
            image.components = static_cast<std::uint8_t>(bytes[segment + 5]);
            image.jpeg2000 = false;
            return image.width > 0 && image.height > 0
                   && (image.components == 1 || image.components == 3 || image.components == 4);
        }
        at += 2 + length;
    }
    return false;
}

// The codestream's image and tile size marker (SIZ) right after its start (FF 4F FF 51).
bool ReadCodestreamSize(const QByteArray& bytes, qsizetype at, PDFEncodedImage& image)
{
    if (at + 24 > bytes.size() || BigEndian(bytes, at, 4) != 0xFF4FFF51u)
        return false;
    const std::uint32_t width = BigEndian(bytes, at + 8, 4);
    const std::uint32_t height = BigEndian(bytes, at + 12, 4);
    const std::uint32_t left = BigEndian(bytes, at + 16, 4);
    const std::uint32_t top = BigEndian(bytes, at + 20, 4);
    if (width <= left || height <= top || width - left > 0x7FFFFFFFu || height - top > 0x7FFFFFFFu)
        return false;
    image.width = static_cast<int>(width - left);
    image.height = static_cast<int>(height - top);
    image.jpeg2000 = true;
    return true;
}

// A JP2 file's image header box ("ihdr": height, width, components, depth).
bool ReadJP2Header(const QByteArray& bytes, PDFEncodedImage& image)
{
    const qsizetype box = bytes.indexOf("ihdr");
    if (box < 0 || box + 4 + 11 > bytes.size())
        return false;
    const std::uint32_t height = BigEndian(bytes, box + 4, 4);
    const std::uint32_t width = BigEndian(bytes, box + 8, 4);
    if (width == 0 || height == 0 || width > 0x7FFFFFFFu || height > 0x7FFFFFFFu)
        return false;
    image.width = static_cast<int>(width);
    image.height = static_cast<int>(height);
    image.jpeg2000 = true;
    return true;
}

} // namespace

bool ReadEncodedImageHeader(const QByteArray& bytes, PDFEncodedImage& image)
{
    static const char jp2Signature[] = "\x00\x00\x00\x0CjP  \r\n\x87\n";
    bool known = false;
    if (bytes.size() > 4 && static_cast<std::uint8_t>(bytes[0]) == 0xFF && static_cast<std::uint8_t>(bytes[1]) == 0xD8)
        known = ReadJPEGHeader(bytes, image);
    else if (bytes.startsWith(QByteArray(jp2Signature, 12)))
        known = ReadJP2Header(bytes, image);
    else
        known = ReadCodestreamSize(bytes, 0, image);
    if (known)
        image.bytes = bytes;
    return known;
}
