#include "toolkit/codec/StagedOutputFile.h"
#include "toolkit/codec/WebPFileWriters.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <iterator>

namespace {

constexpr size_t kTIFFHeaderSize = 210;
constexpr size_t kBitsPerSampleOffset = 194;
constexpr size_t kResolutionOffset = 202;
constexpr size_t kExtraSamplesEntryOffset = 178;

using TIFFHeader = std::array<uint8_t, kTIFFHeaderSize>;

void Put16(TIFFHeader& header, size_t offset, uint32_t value)
{
    header[offset] = static_cast<uint8_t>(value);
    header[offset + 1] = static_cast<uint8_t>(value >> 8);
}

void Put32(TIFFHeader& header, size_t offset, uint32_t value)
{
    Put16(header, offset, value & 0xFFFF);
    Put16(header, offset + 2, value >> 16);
}

enum TIFFType : uint16_t {
    kShort = 3,
    kLong = 4,
    kRational = 5
};

struct TIFFEntry {
    uint16_t tag;
    uint16_t type;
    uint32_t count;
    uint32_t value;
};

// One strip of RGB or RGBA rows; the ExtraSamples entry (associated alpha) comes last so that leaving it
// out ends the directory early.
TIFFHeader MakeTIFFHeader(uint32_t width, uint32_t height, bool hasAlpha)
{
    const uint32_t samples = hasAlpha ? 4 : 3;
    const TIFFEntry entries[] = {
        {256, kShort, 1, width},
        {257, kShort, 1, height},
        {258, kShort, samples, kBitsPerSampleOffset},
        {259, kShort, 1, 1}, // no compression
        {262, kShort, 1, 2}, // RGB
        {273, kLong, 1, static_cast<uint32_t>(kTIFFHeaderSize)},
        {274, kShort, 1, 1}, // top-left
        {277, kShort, 1, samples},
        {278, kShort, 1, height},
        {279, kLong, 1, samples * width * height},
        {282, kRational, 1, kResolutionOffset},
        {283, kRational, 1, kResolutionOffset},
        {284, kShort, 1, 1}, // contiguous
        {296, kShort, 1, 2}, // inch
        {338, kShort, 1, 1}, // associated alpha
    };
    TIFFHeader header{};
    std::memcpy(header.data(), "II", 2);
    Put16(header, 2, 42);
    Put32(header, 4, 8);
    Put16(header, 8, hasAlpha ? 15 : 14);
    for (size_t i = 0; i < std::size(entries); ++i) {
        const size_t offset = 10 + 12 * i;
        Put16(header, offset, entries[i].tag);
        Put16(header, offset + 2, entries[i].type);
        Put32(header, offset + 4, entries[i].count);
        Put32(header, offset + 8, entries[i].value);
    }
    Put32(header, 190, 0); // no next directory
    // Without alpha the uncounted ExtraSamples entry's first four bytes become the next-directory offset.
    static_assert(kExtraSamplesEntryOffset == 10 + 12 * 14);
    if (!hasAlpha)
        Put32(header, kExtraSamplesEntryOffset, 0);
    for (size_t i = 0; i < 4; ++i)
        Put16(header, kBitsPerSampleOffset + 2 * i, 8);
    Put32(header, kResolutionOffset, 72);
    Put32(header, kResolutionOffset + 4, 1);
    return header;
}

bool WriteTIFF(FILE* file, const WebPDecBuffer& buffer)
{
    const bool hasAlpha = buffer.colorspace != MODE_RGB;
    const uint32_t width = static_cast<uint32_t>(buffer.width);
    const uint32_t height = static_cast<uint32_t>(buffer.height);
    const TIFFHeader header = MakeTIFFHeader(width, height, hasAlpha);
    if (std::fwrite(header.data(), 1, header.size(), file) != header.size())
        return false;
    const WebPRGBABuffer& rgba = buffer.u.RGBA;
    const size_t rowBytes = size_t{width} * (hasAlpha ? 4 : 3);
    for (uint32_t y = 0; y < height; ++y) {
        if (std::fwrite(rgba.rgba + size_t{y} * static_cast<size_t>(rgba.stride), 1, rowBytes, file) != rowBytes)
            return false;
    }
    return true;
}

bool IsWritableBuffer(const WebPDecBuffer& buffer)
{
    const bool rgbOrRGBA = buffer.colorspace == MODE_RGB || buffer.colorspace == MODE_RGBA || buffer.colorspace == MODE_rgbA;
    const size_t samples = buffer.colorspace == MODE_RGB ? 3 : 4;
    return rgbOrRGBA && buffer.width > 0 && buffer.height > 0 && buffer.u.RGBA.rgba && buffer.u.RGBA.stride >= static_cast<int>(samples * static_cast<size_t>(buffer.width));
}

int SaveToStandardOutput(const WebPDecBuffer& buffer)
{
    if (!WriteTIFF(stdout, buffer) || std::fflush(stdout) != 0) {
        std::fprintf(stderr, "Error writing to stdout !!\n");
        return 0;
    }
    std::fprintf(stderr, "Saved to stdout\n");
    return 1;
}

} // namespace

int SaveOutput(const WebPDecBuffer& buffer, WebPOutputFileFormat format, const char* path)
{
    if (!path || format != WebPOutputFileFormat::TIFF || !IsWritableBuffer(buffer))
        return 0;
    if (std::strcmp(path, "-") == 0)
        return SaveToStandardOutput(buffer);
    StagedOutputFile output(path);
    if (!output.file()) {
        std::fprintf(stderr, "Error opening output file %s\n", path);
        return 0;
    }
    if (!WriteTIFF(output.file(), buffer) || !output.commit()) {
        std::fprintf(stderr, "Error writing file %s !!\n", path);
        return 0;
    }
    return 1;
}
