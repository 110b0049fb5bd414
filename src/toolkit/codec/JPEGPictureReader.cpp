#include "toolkit/codec/ImageLimits.h"
#include "toolkit/codec/JPEGErrorTrap.h"
#include "toolkit/codec/JPEGMarkerMetadata.h"
#include "toolkit/codec/WebPPictureReaders.h"

#include <new>

namespace {

constexpr unsigned kMarkerLengthLimit = 0xFFFF;

struct JPEGReadSession {
    JPEGErrorTrap trap;
    jpeg_decompress_struct cinfo{};
    bool created = false;
    CodecBuffer pixels;

    JPEGReadSession() = default;
    JPEGReadSession(const JPEGReadSession&) = delete;
    JPEGReadSession& operator=(const JPEGReadSession&) = delete;
    ~JPEGReadSession()
    {
        if (created)
            jpeg_destroy_decompress(&cinfo);
    }
};

// Everything that may end in the trap's jump. Holds no objects with destructors: the session owns them.
bool RunJPEGRead(JPEGReadSession& session, FILE* file, Metadata* metadata)
{
    jpeg_decompress_struct& cinfo = session.cinfo;
    cinfo.err = InstallJPEGErrorTrap(session.trap, true);
    jpeg_create_decompress(&cinfo);
    session.created = true;
    jpeg_stdio_src(&cinfo, file);
    if (metadata) {
        jpeg_save_markers(&cinfo, JPEG_APP0 + 1, kMarkerLengthLimit);
        jpeg_save_markers(&cinfo, JPEG_APP0 + 2, kMarkerLengthLimit);
    }
    jpeg_read_header(&cinfo, TRUE);
    cinfo.out_color_space = JCS_RGB;
    cinfo.do_fancy_upsampling = TRUE;
    jpeg_calc_output_dimensions(&cinfo);
    if (cinfo.output_width > WEBP_MAX_DIMENSION || cinfo.output_height > WEBP_MAX_DIMENSION || !FitsDecodedImageLimit(cinfo.output_width, cinfo.output_height, 3))
        return false;
    jpeg_start_decompress(&cinfo);
    if (cinfo.output_components != 3)
        return false;

    const size_t stride = size_t{cinfo.output_width} * 3;
    session.pixels.resize(stride * cinfo.output_height);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = session.pixels.data() + stride * cinfo.output_scanline;
        if (jpeg_read_scanlines(&cinfo, &row, 1) != 1)
            return false;
    }
    if (metadata && !ExtractJPEGMetadata(cinfo, *metadata)) {
        std::fprintf(stderr, "Error extracting JPEG metadata!\n");
        return false;
    }
    jpeg_finish_decompress(&cinfo);
    return true;
}

bool ReadTrapped(JPEGReadSession& session, FILE* file, Metadata* metadata)
{
    if (setjmp(session.trap.jump) != 0)
        return false;
    try {
        return RunJPEGRead(session, file, metadata);
    } catch (const std::bad_alloc&) {
        return false;
    }
}

} // namespace

int ReadJPEG(FILE* file, WebPPicture* picture, Metadata* metadata)
{
    if (!file || !picture)
        return 0;
    JPEGReadSession session;
    if (!ReadTrapped(session, file, metadata)) {
        MetadataFree(metadata);
        return 0;
    }
    const int width = static_cast<int>(session.cinfo.output_width);
    const int height = static_cast<int>(session.cinfo.output_height);
    jpeg_destroy_decompress(&session.cinfo);
    session.created = false;
    picture->width = width;
    picture->height = height;
    if (!WebPPictureImportRGB(picture, session.pixels.data(), width * 3)) {
        MetadataFree(metadata);
        return 0;
    }
    return 1;
}
