#include "toolkit/codec/JPEG2000Pixels.h"

#include <algorithm>
#include <cstddef>

namespace {

int ClampToRange(double value, int upper)
{
    return static_cast<int>(std::clamp(value, 0.0, static_cast<double>(upper)));
}

struct SampleScale {
    int64_t offset = 0;  // added before scaling: half the range of signed samples
    uint32_t shift = 0;  // precision above 8 bits
    int64_t maximum = 255;  // largest sample of a precision below 8 bits, scaled to 255
};

SampleScale ScaleFor(const opj_image_comp_t& first)
{
    SampleScale scale;
    if (first.sgnd)
        scale.offset = int64_t{1} << (first.prec - 1);
    if (first.prec > 8)
        scale.shift = first.prec - 8;
    else
        scale.maximum = (int64_t{1} << first.prec) - 1;
    return scale;
}

uint8_t ToByte(int64_t sample, const SampleScale& scale)
{
    int64_t value = sample + scale.offset;
    if (scale.shift > 0)
        value >>= scale.shift;
    else if (scale.maximum != 255)
        value = value * 255 / scale.maximum;
    return static_cast<uint8_t>(std::clamp<int64_t>(value, 0, 255));
}

} // namespace

JPEG2000ComponentSplit SplitJPEG2000Components(const opj_image_t& image)
{
    const uint32_t n = image.numcomps;
    const bool rgbFamily = image.color_space == OPJ_CLRSPC_SRGB || image.color_space == OPJ_CLRSPC_SYCC;
    if (rgbFamily && n == 4)
        return {3, 1};
    if (n == 2)
        return {1, 1};
    return {std::min<uint32_t>(n, 4), n > 4 ? 1u : 0u};
}

void ConvertJPEG2000SYCCToRGB(opj_image_t& image)
{
    if (image.color_space != OPJ_CLRSPC_SYCC || image.numcomps < 3 || image.comps[0].sgnd)
        return;
    const uint32_t precision = image.comps[0].prec;
    const int offset = 1 << (precision - 1);
    const int upper = static_cast<int>((int64_t{1} << precision) - 1);
    OPJ_INT32* luma = image.comps[0].data;
    OPJ_INT32* blue = image.comps[1].data;
    OPJ_INT32* red = image.comps[2].data;
    const size_t count = size_t{image.comps[0].w} * image.comps[0].h;
    for (size_t i = 0; i < count; ++i) {
        const double y = luma[i];
        const double cb = static_cast<double>(blue[i]) - offset;
        const double cr = static_cast<double>(red[i]) - offset;
        luma[i] = ClampToRange(y + 1.402 * cr, upper);
        blue[i] = ClampToRange(y - 0.344136 * cb - 0.714136 * cr, upper);
        red[i] = ClampToRange(y + 1.772 * cb, upper);
    }
    // Components now hold R, G, B in that order.
    image.color_space = OPJ_CLRSPC_SRGB;
}

void PackJPEG2000Samples(const opj_image_t& image, uint32_t count, uint8_t* pixels)
{
    const SampleScale scale = ScaleFor(image.comps[0]);
    const size_t area = size_t{image.comps[0].w} * image.comps[0].h;
    for (uint32_t c = 0; c < count; ++c) {
        const OPJ_INT32* samples = image.comps[c].data;
        uint8_t* out = pixels + c;
        for (size_t i = 0; i < area; ++i, out += count)
            *out = ToByte(samples[i], scale);
    }
}
