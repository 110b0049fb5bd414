#include "toolkit/imageio/ByteReader.h"
#include "toolkit/imageio/ImageReaders.h"
#include "toolkit/imageio/SourceLimits.h"

#include <vector>

namespace {

constexpr std::uint16_t kMagic = 474;
constexpr qsizetype kHeaderSize = 512;

struct SGIHeader {
    bool compressed = false;
    int bytesPerSample = 1;
    int width = 0;
    int height = 0;
    int channels = 0;
};

bool readHeader(const QByteArray& bytes, SGIHeader& header)
{
    ByteReader input(bytes);
    if (input.u16() != kMagic)
        return false;
    const std::uint8_t storage = input.u8();
    const std::uint8_t bytesPerSample = input.u8();
    input.u16(); // dimension: the sizes below say it all
    header.width = input.u16();
    header.height = input.u16();
    header.channels = input.u16();
    if (input.failed() || storage > 1 || (bytesPerSample != 1 && bytesPerSample != 2) || header.channels < 1
        || header.channels > 4 || bytes.size() < kHeaderSize)
        return false;
    header.compressed = storage == 1;
    header.bytesPerSample = bytesPerSample;
    return FitsSourceBound("SGI", header.width, header.height, 4 + static_cast<std::uint64_t>(header.channels) * bytesPerSample);
}

// One row of one channel, as 8-bit samples (16-bit samples keep their high byte).
bool readRow(const QByteArray& bytes, const SGIHeader& header, qsizetype offset, qsizetype length, unsigned char* out)
{
    ByteReader input(bytes, offset);
    if (!header.compressed) {
        for (int x = 0; x < header.width; ++x)
            out[x] = header.bytesPerSample == 2 ? static_cast<unsigned char>(input.u16() >> 8) : input.u8();
        return !input.failed();
    }
    const qsizetype end = offset + length;
    int x = 0;
    while (x < header.width && input.offset() < end) {
        const std::uint16_t control = header.bytesPerSample == 2 ? input.u16() : input.u8();
        const int count = control & 0x7F;
        if (input.failed() || count == 0)
            break;
        if (count > header.width - x)
            return false;
        if (control & 0x80) {
            for (int i = 0; i < count; ++i)
                out[x++] = header.bytesPerSample == 2 ? static_cast<unsigned char>(input.u16() >> 8) : input.u8();
        } else {
            const std::uint16_t value = header.bytesPerSample == 2 ? input.u16() : input.u8();
            for (int i = 0; i < count; ++i)
                out[x++] = static_cast<unsigned char>(header.bytesPerSample == 2 ? value >> 8 : value);
        }
        if (input.failed())
            return false;
    }
    return x == header.width;
}

} // namespace

ImageRepList ReadSGIRepresentations(const QByteArray& bytes)
{
    SGIHeader header;
    if (!readHeader(bytes, header))
        return {};
    const auto rows = static_cast<qsizetype>(header.height) * header.channels;
    std::vector<std::uint32_t> starts(static_cast<std::size_t>(rows), 0);
    std::vector<std::uint32_t> lengths(static_cast<std::size_t>(rows), 0);
    if (header.compressed) {
        ByteReader table(bytes, kHeaderSize);
        for (auto& start : starts)
            start = table.u32();
        for (auto& length : lengths)
            length = table.u32();
        if (table.failed())
            return {};
    }
    const bool grey = header.channels < 3;
    const bool alpha = header.channels == 2 || header.channels == 4;
    const QImage::Format format = grey && !alpha ? QImage::Format_Grayscale8
                                  : alpha        ? QImage::Format_RGBA8888
                                                 : QImage::Format_RGBX8888;
    QImage pixels(header.width, header.height, format);
    if (pixels.isNull())
        return {};
    std::vector<unsigned char> samples(static_cast<std::size_t>(header.width));
    const qsizetype plainRow = static_cast<qsizetype>(header.width) * header.bytesPerSample;
    for (int channel = 0; channel < header.channels; ++channel) {
        for (int y = 0; y < header.height; ++y) {
            const qsizetype index = static_cast<qsizetype>(channel) * header.height + y;
            const qsizetype offset = header.compressed ? starts[static_cast<std::size_t>(index)] : kHeaderSize + index * plainRow;
            const qsizetype length = header.compressed ? lengths[static_cast<std::size_t>(index)] : plainRow;
            if (!readRow(bytes, header, offset, length, samples.data()))
                return {};
            // Rows are stored bottom first.
            unsigned char* row = pixels.scanLine(header.height - 1 - y);
            for (int x = 0; x < header.width; ++x) {
                const unsigned char value = samples[static_cast<std::size_t>(x)];
                if (grey && !alpha) {
                    row[x] = value;
                } else if (grey) {
                    unsigned char* pixel = row + static_cast<std::ptrdiff_t>(x) * 4;
                    if (channel == 0)
                        pixel[0] = pixel[1] = pixel[2] = value;
                    else
                        pixel[3] = value;
                } else {
                    row[static_cast<std::ptrdiff_t>(x) * 4 + channel] = value;
                }
            }
        }
    }
    if (!grey && !alpha) {
        for (int y = 0; y < header.height; ++y) {
            unsigned char* row = pixels.scanLine(y);
            for (int x = 0; x < header.width; ++x)
                row[static_cast<std::ptrdiff_t>(x) * 4 + 3] = 255;
        }
    }
    BitmapImageRep::Description description;
    description.colorSpace = grey ? ColorSpaceModel::Grey : ColorSpaceModel::RGB;
    description.alphaKind = alpha ? AlphaKind::Last : AlphaKind::None;
    return {std::make_shared<BitmapImageRep>(std::move(pixels), std::move(description))};
}
