#include "toolkit/imageio/ImageReaders.h"
#include "toolkit/imageio/SourceLimits.h"

#include <openjpeg.h>

#include <algorithm>
#include <cstring>

namespace {

struct MemorySource {
    const QByteArray* bytes = nullptr;
    OPJ_OFF_T offset = 0;
};

OPJ_SIZE_T readSource(void* buffer, OPJ_SIZE_T size, void* data)
{
    auto* source = static_cast<MemorySource*>(data);
    const OPJ_OFF_T left = source->bytes->size() - source->offset;
    if (left <= 0)
        return static_cast<OPJ_SIZE_T>(-1);
    const auto count = std::min<OPJ_SIZE_T>(size, static_cast<OPJ_SIZE_T>(left));
    std::memcpy(buffer, source->bytes->constData() + source->offset, count);
    source->offset += static_cast<OPJ_OFF_T>(count);
    return count;
}

OPJ_OFF_T skipSource(OPJ_OFF_T count, void* data)
{
    auto* source = static_cast<MemorySource*>(data);
    const OPJ_OFF_T target = std::clamp<OPJ_OFF_T>(source->offset + count, 0, source->bytes->size());
    const OPJ_OFF_T moved = target - source->offset;
    source->offset = target;
    return moved;
}

OPJ_BOOL seekSource(OPJ_OFF_T offset, void* data)
{
    auto* source = static_cast<MemorySource*>(data);
    if (offset < 0 || offset > source->bytes->size())
        return OPJ_FALSE;
    source->offset = offset;
    return OPJ_TRUE;
}

void quiet(const char*, void*) {}

struct CodecFree {
    void operator()(opj_codec_t* codec) const { opj_destroy_codec(codec); }
};
struct StreamFree {
    void operator()(opj_stream_t* stream) const { opj_stream_destroy(stream); }
};
struct ImageFree {
    void operator()(opj_image_t* image) const { opj_image_destroy(image); }
};

// The container's signature box, or a bare code stream's SOC and SIZ markers.
bool codecOf(const QByteArray& bytes, OPJ_CODEC_FORMAT& codec)
{
    static const char jp2[] = {0, 0, 0, 12, 'j', 'P', ' ', ' ', '\r', '\n', '\x87', '\n'};
    if (bytes.size() >= 12 && std::memcmp(bytes.constData(), jp2, sizeof jp2) == 0) {
        codec = OPJ_CODEC_JP2;
        return true;
    }
    if (bytes.size() >= 4 && std::memcmp(bytes.constData(), "\xFF\x4F\xFF\x51", 4) == 0) {
        codec = OPJ_CODEC_J2K;
        return true;
    }
    return false;
}

// One sample as 8 bits, from any precision and signedness.
unsigned char sample8(const opj_image_comp_t& component, OPJ_UINT32 x, OPJ_UINT32 y)
{
    const OPJ_UINT32 cx = std::min(x / std::max<OPJ_UINT32>(component.dx, 1), component.w - 1);
    const OPJ_UINT32 cy = std::min(y / std::max<OPJ_UINT32>(component.dy, 1), component.h - 1);
    long long value = component.data[static_cast<std::size_t>(cy) * component.w + cx];
    if (component.sgnd)
        value += 1LL << (component.prec - 1);
    if (component.prec > 8)
        value >>= (component.prec - 8);
    else if (component.prec < 8)
        value = value * 255 / ((1LL << component.prec) - 1);
    return static_cast<unsigned char>(std::clamp<long long>(value, 0, 255));
}

bool componentsUsable(const opj_image_t& image)
{
    if (image.numcomps < 1)
        return false;
    for (OPJ_UINT32 c = 0; c < std::min<OPJ_UINT32>(image.numcomps, 4); ++c) {
        const auto& component = image.comps[c];
        if (!component.data || component.w == 0 || component.h == 0 || component.prec < 1 || component.prec > 31)
            return false;
    }
    return true;
}

QImage toPixels(const opj_image_t& image, int width, int height, ColorSpaceModel& model, AlphaKind& alpha)
{
    const OPJ_UINT32 count = image.numcomps;
    const bool grey = count < 3;
    const bool hasAlpha = count == 2 || count >= 4;
    model = grey ? ColorSpaceModel::Grey : ColorSpaceModel::RGB;
    alpha = hasAlpha ? AlphaKind::Last : AlphaKind::None;
    QImage pixels(width, height, grey && !hasAlpha ? QImage::Format_Grayscale8 : QImage::Format_RGBA8888);
    if (pixels.isNull())
        return {};
    const bool ycc = image.color_space == OPJ_CLRSPC_SYCC && !grey;
    for (int y = 0; y < height; ++y) {
        unsigned char* row = pixels.scanLine(y);
        for (int x = 0; x < width; ++x) {
            const auto ux = static_cast<OPJ_UINT32>(x);
            const auto uy = static_cast<OPJ_UINT32>(y);
            if (grey && !hasAlpha) {
                row[x] = sample8(image.comps[0], ux, uy);
                continue;
            }
            unsigned char* pixel = row + static_cast<std::ptrdiff_t>(x) * 4;
            if (grey) {
                pixel[0] = pixel[1] = pixel[2] = sample8(image.comps[0], ux, uy);
                pixel[3] = sample8(image.comps[1], ux, uy);
                continue;
            }
            int r = sample8(image.comps[0], ux, uy);
            int g = sample8(image.comps[1], ux, uy);
            int b = sample8(image.comps[2], ux, uy);
            if (ycc) {
                const double cb = g - 128.0;
                const double cr = b - 128.0;
                const double luma = r;
                r = std::clamp(static_cast<int>(luma + 1.402 * cr), 0, 255);
                g = std::clamp(static_cast<int>(luma - 0.344136 * cb - 0.714136 * cr), 0, 255);
                b = std::clamp(static_cast<int>(luma + 1.772 * cb), 0, 255);
            }
            pixel[0] = static_cast<unsigned char>(r);
            pixel[1] = static_cast<unsigned char>(g);
            pixel[2] = static_cast<unsigned char>(b);
            pixel[3] = hasAlpha ? sample8(image.comps[3], ux, uy) : 255;
        }
    }
    return pixels;
}

} // namespace

ImageRepList ReadJPEG2000Representations(const QByteArray& bytes)
{
    OPJ_CODEC_FORMAT format = OPJ_CODEC_UNKNOWN;
    if (!codecOf(bytes, format))
        return {};
    MemorySource source{&bytes, 0};
    std::unique_ptr<opj_stream_t, StreamFree> stream(opj_stream_create(OPJ_J2K_STREAM_CHUNK_SIZE, OPJ_TRUE));
    if (!stream)
        return {};
    opj_stream_set_user_data(stream.get(), &source, nullptr);
    opj_stream_set_user_data_length(stream.get(), static_cast<OPJ_UINT64>(bytes.size()));
    opj_stream_set_read_function(stream.get(), readSource);
    opj_stream_set_skip_function(stream.get(), skipSource);
    opj_stream_set_seek_function(stream.get(), seekSource);

    std::unique_ptr<opj_codec_t, CodecFree> codec(opj_create_decompress(format));
    if (!codec)
        return {};
    opj_set_info_handler(codec.get(), quiet, nullptr);
    opj_set_warning_handler(codec.get(), quiet, nullptr);
    opj_set_error_handler(codec.get(), quiet, nullptr);
    opj_dparameters_t parameters;
    opj_set_default_decoder_parameters(&parameters);
    if (!opj_setup_decoder(codec.get(), &parameters))
        return {};

    opj_image_t* header = nullptr;
    if (!opj_read_header(stream.get(), codec.get(), &header) || !header)
        return {};
    std::unique_ptr<opj_image_t, ImageFree> image(header);
    const auto width = static_cast<std::int64_t>(image->x1) - image->x0;
    const auto height = static_cast<std::int64_t>(image->y1) - image->y0;
    // The decoder holds 32 bits a sample for every component.
    const std::int64_t components = std::max<std::int64_t>(image->numcomps, 1);
    if (width <= 0 || height <= 0
        || !FitsSourceBound("JPEG 2000", static_cast<std::uint64_t>(width), static_cast<std::uint64_t>(height), 4 * std::max<std::uint64_t>(components, 2)))
        return {};
    if (!opj_decode(codec.get(), stream.get(), image.get()) || !opj_end_decompress(codec.get(), stream.get()))
        return {};
    if (!componentsUsable(*image))
        return {};
    BitmapImageRep::Description description;
    QImage pixels = toPixels(*image, static_cast<int>(width), static_cast<int>(height), description.colorSpace, description.alphaKind);
    if (pixels.isNull())
        return {};
    if (image->icc_profile_buf && image->icc_profile_len > 0)
        description.iccProfile = QByteArray(reinterpret_cast<const char*>(image->icc_profile_buf), static_cast<qsizetype>(image->icc_profile_len));
    return {std::make_shared<BitmapImageRep>(std::move(pixels), std::move(description))};
}
