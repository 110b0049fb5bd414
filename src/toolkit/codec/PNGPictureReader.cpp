#include "toolkit/codec/ImageLimits.h"
#include "toolkit/codec/PNGRawProfile.h"
#include "toolkit/codec/WebPPictureReaders.h"

#include <cstring>
#include <new>

#include <png.h>

namespace {

// A libpng error prints its message and jumps back to the reader's setjmp. The jump crosses only
// libpng's C frames and helpers that hold no objects with destructors while they call the library.
[[noreturn]] void ReportPNGError(png_structp png, png_const_charp message)
{
    if (message)
        std::fprintf(stderr, "libpng error: %s\n", message);
    png_longjmp(png, 1);
}

struct PNGReadSession {
    png_structp png = nullptr;
    png_infop info = nullptr;
    png_infop endInfo = nullptr;
    CodecBuffer pixels;

    PNGReadSession() = default;
    PNGReadSession(const PNGReadSession&) = delete;
    PNGReadSession& operator=(const PNGReadSession&) = delete;
    ~PNGReadSession() { png_destroy_read_struct(&png, &info, &endInfo); }
};

struct PNGImage {
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    bool hasAlpha = false;
};

enum class PayloadKind {
    EXIF,
    XMP
};

struct TextChunkRule {
    const char* key;
    PayloadKind payload;
    bool rawProfile; // hexadecimal raw profile; otherwise copied as it stands
};

const TextChunkRule kTextChunkRules[] = {
    {"Raw profile type exif", PayloadKind::EXIF, true},
    {"Raw profile type xmp", PayloadKind::XMP, true},
    {"Raw profile type APP1", PayloadKind::EXIF, true},
    {"XML:com.adobe.xmp", PayloadKind::XMP, false},
};

bool ExtractTextChunk(const png_text& text, Metadata& metadata)
{
    for (const TextChunkRule& rule : kTextChunkRules) {
        if (std::strcmp(text.key, rule.key) != 0)
            continue;
        CodecBuffer& payload = rule.payload == PayloadKind::EXIF ? metadata.exif : metadata.xmp;
        if (!payload.empty()) {
            std::fprintf(stderr, "Ignoring additional '%s'\n", text.key);
            return true;
        }
        const size_t length = text.compression >= PNG_ITXT_COMPRESSION_NONE ? text.itxt_length : text.text_length;
        const int ok = rule.rawProfile ? ProcessRawProfile(text.text, length, &payload)
                                       : MetadataCopy(text.text, length, &payload);
        if (!ok)
            std::fprintf(stderr, "Failed to process: '%s'\n", text.key);
        return ok != 0;
    }
    return true;
}

bool ExtractMetadataFrom(png_structp png, png_infop info, Metadata& metadata)
{
    png_textp texts = nullptr;
    const int count = png_get_text(png, info, &texts, nullptr);
    for (int i = 0; i < count; ++i) {
        if (!ExtractTextChunk(texts[i], metadata))
            return false;
    }
    png_charp name = nullptr;
    int compression = 0;
    png_bytep profile = nullptr;
    png_uint_32 profileLength = 0;
    if (png_get_iCCP(png, info, &name, &compression, &profile, &profileLength) == PNG_INFO_iCCP)
        return MetadataCopy(reinterpret_cast<const char*>(profile), profileLength, &metadata.iccp) != 0;
    return true;
}

bool SetUpTransformations(png_structp png, png_infop info, bool keepAlpha, PNGImage& image)
{
    int bitDepth = 0;
    int colourType = 0;
    if (!png_get_IHDR(png, info, &image.width, &image.height, &bitDepth, &colourType, nullptr, nullptr, nullptr))
        return false;
    png_set_strip_16(png);
    png_set_packing(png);
    if (colourType == PNG_COLOR_TYPE_PALETTE)
        png_set_palette_to_rgb(png);
    if (colourType == PNG_COLOR_TYPE_GRAY || colourType == PNG_COLOR_TYPE_GRAY_ALPHA) {
        if (bitDepth < 8)
            png_set_expand_gray_1_2_4_to_8(png);
        png_set_gray_to_rgb(png);
    }
    if (png_get_valid(png, info, PNG_INFO_tRNS)) {
        png_set_tRNS_to_alpha(png);
        image.hasAlpha = true;
    } else {
        image.hasAlpha = (colourType & PNG_COLOR_MASK_ALPHA) != 0;
    }
    if (!keepAlpha) {
        png_set_strip_alpha(png);
        image.hasAlpha = false;
    }
    return FitsDecodedImageLimit(image.width, image.height, 4);
}

// Everything that may end in libpng's jump, once the read record exists.
bool RunPNGRead(PNGReadSession& session, FILE* file, bool keepAlpha, Metadata* metadata, PNGImage& image)
{
    session.info = png_create_info_struct(session.png);
    session.endInfo = png_create_info_struct(session.png);
    if (!session.info || !session.endInfo)
        return false;
    // Dimensions WebP cannot hold are refused while the header is read.
    png_set_user_limits(session.png, WEBP_MAX_DIMENSION, WEBP_MAX_DIMENSION);
    png_init_io(session.png, file);
    png_read_info(session.png, session.info);
    if (!SetUpTransformations(session.png, session.info, keepAlpha, image))
        return false;
    const int passes = png_set_interlace_handling(session.png);
    png_read_update_info(session.png, session.info);

    const size_t stride = (image.hasAlpha ? 4u : 3u) * size_t{image.width};
    if (png_get_rowbytes(session.png, session.info) != stride)
        return false;
    session.pixels.resize(stride * image.height);
    for (int pass = 0; pass < passes; ++pass) {
        for (png_uint_32 y = 0; y < image.height; ++y)
            png_read_row(session.png, session.pixels.data() + stride * y, nullptr);
    }
    png_read_end(session.png, session.endInfo);

    if (metadata && !(ExtractMetadataFrom(session.png, session.info, *metadata) && ExtractMetadataFrom(session.png, session.endInfo, *metadata))) {
        std::fprintf(stderr, "Error extracting PNG metadata!\n");
        return false;
    }
    return true;
}

bool ReadTrapped(PNGReadSession& session, FILE* file, bool keepAlpha, Metadata* metadata, PNGImage& image)
{
    if (setjmp(png_jmpbuf(session.png)) != 0)
        return false;
    try {
        return RunPNGRead(session, file, keepAlpha, metadata, image);
    } catch (const std::bad_alloc&) {
        return false;
    }
}

} // namespace

int ReadPNG(FILE* file, WebPPicture* picture, int keepAlpha, Metadata* metadata)
{
    if (!file || !picture)
        return 0;
    PNGReadSession session;
    PNGImage image;
    session.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, ReportPNGError, nullptr);
    if (!session.png || !ReadTrapped(session, file, keepAlpha != 0, metadata, image)) {
        MetadataFree(metadata);
        return 0;
    }
    png_destroy_read_struct(&session.png, &session.info, &session.endInfo);
    picture->width = static_cast<int>(image.width);
    picture->height = static_cast<int>(image.height);
    const int stride = static_cast<int>((image.hasAlpha ? 4u : 3u) * image.width);
    return image.hasAlpha ? WebPPictureImportRGBA(picture, session.pixels.data(), stride)
                          : WebPPictureImportRGB(picture, session.pixels.data(), stride);
}
