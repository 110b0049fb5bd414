#include "toolkit/imagewriter/ImageEncoder.h"

#include "toolkit/codec/JPEG2000MemoryStream.h"

#include <openjpeg.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace {

struct MemoryOut {
    QByteArray bytes;
    qsizetype position = 0;
};

OPJ_SIZE_T WriteBytes(void* data, OPJ_SIZE_T size, void* user)
{
    auto* out = static_cast<MemoryOut*>(user);
    const qsizetype end = out->position + static_cast<qsizetype>(size);
    if (end > out->bytes.size())
        out->bytes.resize(end);
    std::memcpy(out->bytes.data() + out->position, data, size);
    out->position = end;
    return size;
}

OPJ_OFF_T SkipBytes(OPJ_OFF_T count, void* user)
{
    auto* out = static_cast<MemoryOut*>(user);
    if (count < 0 || out->position + count > (qsizetype{1} << 40))
        return -1;
    out->position += static_cast<qsizetype>(count);
    return count;
}

OPJ_BOOL SeekBytes(OPJ_OFF_T position, void* user)
{
    if (position < 0 || position > (OPJ_OFF_T{1} << 40))
        return OPJ_FALSE;
    static_cast<MemoryOut*>(user)->position = static_cast<qsizetype>(position);
    return OPJ_TRUE;
}

struct CodecFree {
    void operator()(opj_codec_t* codec) const { opj_destroy_codec(codec); }
};
struct ImageFree {
    void operator()(opj_image_t* image) const { opj_image_destroy(image); }
};

} // namespace

// Quality 1 (or none) is lossless; below it the compression ratio grows to 50:1 at quality 0.
bool EncodeJPEG2000Image(const BitmapImageRep& image, const WriteProperties& properties, QByteArray& out)
{
    const QImage& pixels = image.image();
    const bool alpha = pixels.hasAlphaChannel();
    const bool grey = image.colorSpace() == ColorSpaceModel::Grey && !alpha;
    const int colourCount = grey ? 1 : 3;
    const int count = colourCount + (alpha ? 1 : 0);
    const QImage rgba = pixels.convertToFormat(QImage::Format_RGBA8888);
    const auto width = static_cast<OPJ_UINT32>(pixels.width());
    const auto height = static_cast<OPJ_UINT32>(pixels.height());
    opj_image_cmptparm_t parameters[4];
    std::memset(parameters, 0, sizeof parameters);
    for (int c = 0; c < count; ++c) {
        parameters[c].dx = parameters[c].dy = 1;
        parameters[c].w = width;
        parameters[c].h = height;
        parameters[c].prec = 8;
        parameters[c].sgnd = 0;
    }
    std::unique_ptr<opj_image_t, ImageFree> picture(
        opj_image_create(static_cast<OPJ_UINT32>(count), parameters, grey ? OPJ_CLRSPC_GRAY : OPJ_CLRSPC_SRGB));
    if (!picture)
        return false;
    picture->x1 = width;
    picture->y1 = height;
    if (alpha)
        picture->comps[count - 1].alpha = 1;
    for (OPJ_UINT32 y = 0; y < height; ++y) {
        const uchar* row = rgba.constScanLine(static_cast<int>(y));
        for (OPJ_UINT32 x = 0; x < width; ++x) {
            const uchar* p = row + x * 4;
            const size_t at = static_cast<size_t>(y) * width + x;
            if (grey) {
                picture->comps[0].data[at] = (p[0] * 11 + p[1] * 16 + p[2] * 5) / 32;
            } else {
                for (int c = 0; c < 3; ++c)
                    picture->comps[c].data[at] = p[c];
            }
            if (alpha)
                picture->comps[count - 1].data[at] = p[3];
        }
    }
    opj_cparameters_t settings;
    opj_set_default_encoder_parameters(&settings);
    const double quality = std::clamp(properties.quality.value_or(1.0), 0.0, 1.0);
    settings.tcp_numlayers = 1;
    settings.cp_disto_alloc = 1;
    settings.tcp_rates[0] = quality >= 1.0 ? 0.0F : static_cast<float>(1.0 + (1.0 - quality) * 49.0);
    settings.irreversible = quality < 1.0 ? 1 : 0;
    settings.tcp_mct = grey ? 0 : 1;
    // Each resolution level halves the picture: a small one allows only as many as its shorter side has halvings.
    int levels = 1;
    for (OPJ_UINT32 side = std::min(width, height); side > 1 && levels < 6; side /= 2)
        ++levels;
    settings.numresolution = levels;
    std::unique_ptr<opj_codec_t, CodecFree> codec(opj_create_compress(OPJ_CODEC_JP2));
    if (!codec || !opj_setup_encoder(codec.get(), &settings, picture.get()))
        return false;
    MemoryOut memory;
    JPEG2000Stream stream(opj_stream_default_create(OPJ_FALSE));
    if (!stream)
        return false;
    opj_stream_set_user_data(stream.get(), &memory, nullptr);
    opj_stream_set_write_function(stream.get(), WriteBytes);
    opj_stream_set_skip_function(stream.get(), SkipBytes);
    opj_stream_set_seek_function(stream.get(), SeekBytes);
    if (!opj_start_compress(codec.get(), picture.get(), stream.get()) || !opj_encode(codec.get(), stream.get())
        || !opj_end_compress(codec.get(), stream.get()))
        return false;
    stream.reset();
    out = std::move(memory.bytes);
    return !out.isEmpty();
}
