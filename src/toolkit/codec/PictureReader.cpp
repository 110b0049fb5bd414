#include "toolkit/codec/WebPPictureReaders.h"

#include <cstdint>
#include <cstring>
#include <memory>

namespace {

enum class InputFormat {
    Unknown,
    PNG,
    JPEG,
    TIFF
};

struct FileClose {
    void operator()(FILE* file) const { std::fclose(file); }
};

InputFormat FormatOf(FILE* file)
{
    unsigned char start[4];
    const bool read = std::fread(start, 1, sizeof start, file) == sizeof start;
    const bool rewound = std::fseek(file, 0, SEEK_SET) == 0;
    if (!read || !rewound)
        return InputFormat::Unknown;
    const uint32_t magic =
        (uint32_t{start[0]} << 24) | (uint32_t{start[1]} << 16) | (uint32_t{start[2]} << 8) | start[3];
    if (magic == 0x89504E47u)
        return InputFormat::PNG;
    if ((magic & 0xFFFFFF00u) == 0xFFD8FF00u)
        return InputFormat::JPEG;
    if (magic == 0x49492A00u || magic == 0x4D4D002Au)
        return InputFormat::TIFF;
    return InputFormat::Unknown;
}

} // namespace

int ReadPicture(const char* path, WebPPicture* picture, int keepAlpha, Metadata* metadata)
{
    if (!path || !picture)
        return 0;
    std::unique_ptr<FILE, FileClose> file(std::fopen(path, "rb"));
    if (!file) {
        std::fprintf(stderr, "Error! Cannot open input file '%s'\n", path);
        return 0;
    }
    int ok = 0;
    switch (FormatOf(file.get())) {
    case InputFormat::PNG: ok = ReadPNG(file.get(), picture, keepAlpha, metadata); break;
    case InputFormat::JPEG: ok = ReadJPEG(file.get(), picture, metadata); break;
    case InputFormat::TIFF: ok = ReadTIFF(path, picture, keepAlpha, metadata); break;
    case InputFormat::Unknown: break;
    }
    if (!ok)
        std::fprintf(stderr, "Error! Could not process file %s\n", path);
    return ok;
}
