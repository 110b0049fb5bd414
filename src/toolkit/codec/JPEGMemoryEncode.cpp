#include "toolkit/codec/JPEGCodec.h"
#include "toolkit/codec/JPEGErrorTrap.h"

#include <cmath>
#include <new>
#include <utility>

#include <jerror.h>

namespace {

constexpr size_t kFirstOutputChunk = 64 * 1024;

// The compressed bytes collect in a buffer the glue owns, so a failure anywhere releases them with it.
struct BufferDestination {
    jpeg_destination_mgr manager{}; // first: libjpeg hands back a pointer to it
    CodecBuffer* bytes = nullptr;
};

BufferDestination& DestinationOf(j_compress_ptr cinfo)
{
    return *reinterpret_cast<BufferDestination*>(cinfo->dest);
}

// Grows the buffer; false when no memory can be had (the caller then takes the error exit, outside any
// C++ handler).
bool GrowTo(CodecBuffer& bytes, size_t size) noexcept
{
    try {
        bytes.resize(size);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

void BufferDestinationInit(j_compress_ptr cinfo)
{
    BufferDestination& destination = DestinationOf(cinfo);
    if (!GrowTo(*destination.bytes, kFirstOutputChunk))
        ERREXIT1(cinfo, JERR_OUT_OF_MEMORY, 0);
    destination.manager.next_output_byte = destination.bytes->data();
    destination.manager.free_in_buffer = destination.bytes->size();
}

boolean BufferDestinationEmpty(j_compress_ptr cinfo)
{
    // Called when the buffer is full: everything in it is output.
    BufferDestination& destination = DestinationOf(cinfo);
    const size_t used = destination.bytes->size();
    if (!GrowTo(*destination.bytes, used * 2))
        ERREXIT1(cinfo, JERR_OUT_OF_MEMORY, 1);
    destination.manager.next_output_byte = destination.bytes->data() + used;
    destination.manager.free_in_buffer = destination.bytes->size() - used;
    return TRUE;
}

void BufferDestinationTerm(j_compress_ptr cinfo)
{
    BufferDestination& destination = DestinationOf(cinfo);
    destination.bytes->resize(destination.bytes->size() - destination.manager.free_in_buffer);
}

struct EncodeSession {
    JPEGErrorTrap trap;
    BufferDestination destination;
    jpeg_compress_struct cinfo{};
    bool created = false;
    CodecBuffer bytes;

    EncodeSession() = default;
    EncodeSession(const EncodeSession&) = delete;
    EncodeSession& operator=(const EncodeSession&) = delete;
    ~EncodeSession()
    {
        if (created)
            jpeg_destroy_compress(&cinfo);
    }
};

// JFIF densities are 16-bit whole numbers; out-of-range resolutions are held at the ends of that range.
UINT16 DensityFrom(double resolution)
{
    if (!(resolution > 0))
        return 0;
    if (resolution >= 65535.0)
        return 65535;
    return static_cast<UINT16>(std::trunc(resolution));
}

struct EncodeRequest {
    uint32_t width;
    uint32_t height;
    const uint8_t* pixels;
    J_COLOR_SPACE colorSpace;
    int components;
    int quality;
    double xResolution;
    double yResolution;
};

// Everything that may end in the trap's jump. Holds no objects with destructors: the session owns them.
void RunEncode(EncodeSession& session, const EncodeRequest& request)
{
    jpeg_compress_struct& cinfo = session.cinfo;
    cinfo.err = InstallJPEGErrorTrap(session.trap, false);
    jpeg_create_compress(&cinfo);
    session.created = true;

    session.destination.bytes = &session.bytes;
    session.destination.manager.init_destination = BufferDestinationInit;
    session.destination.manager.empty_output_buffer = BufferDestinationEmpty;
    session.destination.manager.term_destination = BufferDestinationTerm;
    cinfo.dest = &session.destination.manager;

    cinfo.image_width = request.width;
    cinfo.image_height = request.height;
    cinfo.input_components = request.components;
    cinfo.in_color_space = request.colorSpace;
    jpeg_set_defaults(&cinfo);
    // A JFIF header in every case, CMYK included, so the resolution travels with the file.
    cinfo.write_JFIF_header = TRUE;
    cinfo.density_unit = 1;
    cinfo.X_density = DensityFrom(request.xResolution);
    cinfo.Y_density = DensityFrom(request.yResolution);
    jpeg_set_quality(&cinfo, request.quality, TRUE);

    jpeg_start_compress(&cinfo, TRUE);
    const size_t rowBytes = size_t{request.width} * static_cast<size_t>(request.components);
    while (cinfo.next_scanline < cinfo.image_height) {
        // libjpeg takes rows as writable pointers but does not write through them.
        JSAMPROW row = const_cast<JSAMPLE*>(request.pixels + rowBytes * cinfo.next_scanline);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
}

} // namespace

int EncodeJPEGToMemory(uint32_t width, uint32_t height, const uint8_t* pixels, J_COLOR_SPACE colorSpace,
                       int components, CodecBuffer* jpeg, int quality, double xResolution, double yResolution)
{
    if (!jpeg)
        return 1;
    jpeg->clear();
    if (!pixels || components < 1)
        return 1;
    EncodeSession session;
    const EncodeRequest request{width, height, pixels, colorSpace, components, quality, xResolution, yResolution};
    // A library error (size beyond its limits, a colour space it cannot take) lands here instead of
    // ending the process; the session releases the library state and the partial output.
    if (setjmp(session.trap.jump) != 0)
        return 1;
    RunEncode(session, request);
    *jpeg = std::move(session.bytes);
    return 0;
}
