#include "toolkit/codec/ImageLimits.h"
#include "toolkit/codec/JPEGCodec.h"
#include "toolkit/codec/JPEGErrorTrap.h"

#include <new>
#include <utility>

namespace {

// Supplied whenever the library wants more than the data holds: truncated data ends as if the file had
// ended there, and the rows not yet decoded take the library's fill.
const JOCTET kEndOfImage[2] = {0xFF, 0xD9};

void JPEGMemorySourceInit(j_decompress_ptr) {}

boolean JPEGMemorySourceFill(j_decompress_ptr cinfo)
{
    cinfo->src->next_input_byte = kEndOfImage;
    cinfo->src->bytes_in_buffer = sizeof kEndOfImage;
    return TRUE;
}

void JPEGMemorySourceSkip(j_decompress_ptr cinfo, long count)
{
    if (count <= 0)
        return;
    jpeg_source_mgr* source = cinfo->src;
    const size_t skipped = static_cast<unsigned long>(count) < source->bytes_in_buffer
                               ? static_cast<size_t>(count)
                               : source->bytes_in_buffer;
    source->next_input_byte += skipped;
    source->bytes_in_buffer -= skipped;
}

void JPEGMemorySourceTerm(j_decompress_ptr) {}

struct DecodeSession {
    JPEGErrorTrap trap;
    jpeg_source_mgr source{};
    jpeg_decompress_struct cinfo{};
    bool created = false;
    CodecBuffer pixels;

    DecodeSession() = default;
    DecodeSession(const DecodeSession&) = delete;
    DecodeSession& operator=(const DecodeSession&) = delete;
    ~DecodeSession()
    {
        if (created)
            jpeg_destroy_decompress(&cinfo);
    }
};

struct DecodedJPEG {
    uint32_t componentCode = 0;
    uint32_t width = 0;
    uint32_t height = 0;
    bool hasResolution = false;
    double xResolution = 0;
    double yResolution = 0;
};

uint32_t ComponentCodeFor(int components)
{
    switch (components) {
    case 1: return kJPEGComponentsGrey;
    case 3: return kJPEGComponentsRGB;
    case 4: return kJPEGComponentsCMYK;
    default: return 0;
    }
}

void ReadResolution(const jpeg_decompress_struct& cinfo, DecodedJPEG& result)
{
    if (cinfo.density_unit == 1) {
        result.hasResolution = true;
        result.xResolution = cinfo.X_density;
        result.yResolution = cinfo.Y_density;
    } else if (cinfo.density_unit == 2) {
        result.hasResolution = true;
        result.xResolution = static_cast<float>(cinfo.X_density) * 254.0f / 100.0f;
        result.yResolution = static_cast<float>(cinfo.Y_density) * 254.0f / 100.0f;
    }
}

// Everything that may end in the trap's jump. Holds no objects with destructors: the session owns them.
bool RunDecode(DecodeSession& session, const uint8_t* data, uint64_t length, DecodedJPEG& result)
{
    jpeg_decompress_struct& cinfo = session.cinfo;
    cinfo.err = InstallJPEGErrorTrap(session.trap, false);
    jpeg_create_decompress(&cinfo);
    session.created = true;

    session.source.init_source = JPEGMemorySourceInit;
    session.source.fill_input_buffer = JPEGMemorySourceFill;
    session.source.skip_input_data = JPEGMemorySourceSkip;
    session.source.resync_to_restart = jpeg_resync_to_restart;
    session.source.term_source = JPEGMemorySourceTerm;
    session.source.next_input_byte = data;
    session.source.bytes_in_buffer = static_cast<size_t>(length);
    cinfo.src = &session.source;

    if (jpeg_read_header(&cinfo, TRUE) != JPEG_HEADER_OK)
        return false;
    // Sized from the header before the library allocates anything of the image's size.
    jpeg_calc_output_dimensions(&cinfo);
    result.componentCode = ComponentCodeFor(cinfo.out_color_components);
    if (result.componentCode == 0 || !FitsDecodedImageLimit(cinfo.output_width, cinfo.output_height, cinfo.out_color_components))
        return false;
    jpeg_start_decompress(&cinfo);
    result.componentCode = ComponentCodeFor(cinfo.output_components);
    if (result.componentCode == 0 || !FitsDecodedImageLimit(cinfo.output_width, cinfo.output_height, cinfo.output_components))
        return false;
    ReadResolution(cinfo, result);

    const size_t rowBytes = size_t{cinfo.output_width} * static_cast<size_t>(cinfo.output_components);
    session.pixels.resize(rowBytes * cinfo.output_height);
    result.width = cinfo.output_width;
    result.height = cinfo.output_height;
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = session.pixels.data() + rowBytes * cinfo.output_scanline;
        if (jpeg_read_scanlines(&cinfo, &row, 1) != 1)
            return false;
    }
    jpeg_finish_decompress(&cinfo);
    return true;
}

// A library error lands at the setjmp; the caller's session then releases the library state and pixels.
bool DecodeTrapped(DecodeSession& session, const uint8_t* data, uint64_t length, DecodedJPEG& result)
{
    if (setjmp(session.trap.jump) != 0)
        return false;
    try {
        return RunDecode(session, data, length, result);
    } catch (const std::bad_alloc&) {
        return false;
    }
}

} // namespace

int DecodeJPEGFromMemory(const uint8_t* data, uint64_t length, uint32_t* componentCode, CodecBuffer* pixels,
                         uint32_t* width, uint32_t* height, double* xResolution, double* yResolution)
{
    if (!componentCode || !pixels || !width || !height || !xResolution || !yResolution)
        return 1;
    *componentCode = 0;
    *width = 0;
    *height = 0;
    pixels->clear();
    DecodeSession session;
    DecodedJPEG result;
    if (!DecodeTrapped(session, data, data ? length : 0, result))
        return 1;
    *componentCode = result.componentCode;
    *width = result.width;
    *height = result.height;
    if (result.hasResolution) {
        *xResolution = result.xResolution;
        *yResolution = result.yResolution;
    }
    *pixels = std::move(session.pixels);
    return 0;
}
