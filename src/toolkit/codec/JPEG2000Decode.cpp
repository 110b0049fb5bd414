#include "toolkit/codec/ImageLimits.h"
#include "toolkit/codec/JPEG2000Codec.h"
#include "toolkit/codec/JPEG2000MemoryStream.h"
#include "toolkit/codec/JPEG2000Pixels.h"

#include <memory>
#include <new>

namespace {

struct CodecRelease {
    void operator()(opj_codec_t* codec) const { opj_destroy_codec(codec); }
};
struct ImageRelease {
    void operator()(opj_image_t* image) const { opj_image_destroy(image); }
};
using JPEG2000Decoder = std::unique_ptr<opj_codec_t, CodecRelease>;
using JPEG2000Image = std::unique_ptr<opj_image_t, ImageRelease>;

void DropLibraryMessage(const char*, void*) {}

bool IsCodestream(const CodecBuffer& data)
{
    return data[0] == 0xFF && data[1] == 0x4F;
}

JPEG2000Decoder CreateQuietDecoder(OPJ_CODEC_FORMAT format)
{
    JPEG2000Decoder decoder(opj_create_decompress(format));
    if (!decoder)
        return decoder;
    opj_set_error_handler(decoder.get(), DropLibraryMessage, nullptr);
    opj_set_warning_handler(decoder.get(), DropLibraryMessage, nullptr);
    opj_set_info_handler(decoder.get(), DropLibraryMessage, nullptr);
    opj_dparameters_t parameters;
    opj_set_default_decoder_parameters(&parameters);
    if (!opj_setup_decoder(decoder.get(), &parameters))
        decoder.reset();
    return decoder;
}

// The header's canvas, before the library allocates the image's samples.
bool HeaderFitsLimit(const opj_image_t& image)
{
    if (image.x1 <= image.x0 || image.y1 <= image.y0)
        return false;
    return FitsDecodedImageLimit(image.x1 - image.x0, image.y1 - image.y0, image.numcomps);
}

bool ComponentsAreUniform(const opj_image_t& image)
{
    if (image.numcomps == 0 || !image.comps)
        return false;
    const opj_image_comp_t& first = image.comps[0];
    if (first.w == 0 || first.h == 0 || first.prec < 1 || first.prec > 31)
        return false;
    for (OPJ_UINT32 i = 0; i < image.numcomps; ++i) {
        const opj_image_comp_t& component = image.comps[i];
        if (component.w != first.w || component.h != first.h || component.prec != first.prec || !component.data)
            return false;
    }
    return true;
}

JPEG2000Image DecodeImage(const CodecBuffer& data)
{
    JPEG2000Decoder decoder = CreateQuietDecoder(IsCodestream(data) ? OPJ_CODEC_J2K : OPJ_CODEC_JP2);
    JPEG2000MemoryStreamState state{data.data(), data.size(), 0};
    JPEG2000Stream stream = OpenJPEG2000MemoryStream(state);
    if (!decoder || !stream)
        return nullptr;
    opj_image_t* header = nullptr;
    const bool headerRead = opj_read_header(stream.get(), decoder.get(), &header);
    JPEG2000Image image(header);
    if (!headerRead || !image || !HeaderFitsLimit(*image))
        return nullptr;
    if (!opj_decode(decoder.get(), stream.get(), image.get()))
        return nullptr;
    return image;
}

uint32_t ColourKindFor(uint32_t colourComponents)
{
    switch (colourComponents) {
    case 4: return kJPEG2000ColourCMYK;
    case 3: return kJPEG2000ColourRGB;
    case 1: return kJPEG2000ColourGrey;
    default: return kJPEG2000ColourNone;
    }
}

} // namespace

int64_t DecodeJPEG2000Data(const CodecBuffer& data, CodecBuffer* pixels, uint32_t* colourKind,
                           int64_t* componentCount, CodecBuffer* iccProfile)
{
    if (!pixels || !colourKind || !componentCount || !iccProfile || data.size() < 2)
        return -1;
    JPEG2000Image image = DecodeImage(data);
    if (!image || !ComponentsAreUniform(*image))
        return -1;
    const uint32_t width = image->comps[0].w;
    const uint32_t height = image->comps[0].h;
    if (!FitsDecodedImageLimit(width, height, image->numcomps))
        return -1;
    ConvertJPEG2000SYCCToRGB(*image);
    const JPEG2000ComponentSplit split = SplitJPEG2000Components(*image);
    // Past five components only the first five are kept, so the count always matches the bytes a pixel.
    const uint32_t count = split.colour + split.extra;
    try {
        CodecBuffer packed(size_t{width} * height * count);
        PackJPEG2000Samples(*image, count, packed.data());
        CodecBuffer profile;
        if (image->icc_profile_buf && image->icc_profile_len > 0)
            profile.assign(image->icc_profile_buf, image->icc_profile_buf + image->icc_profile_len);
        *pixels = std::move(packed);
        *iccProfile = std::move(profile);
    } catch (const std::bad_alloc&) {
        return -1;
    }
    if (*colourKind == kJPEG2000ColourNone)
        *colourKind = ColourKindFor(split.colour);
    *componentCount = count;
    return 0;
}
