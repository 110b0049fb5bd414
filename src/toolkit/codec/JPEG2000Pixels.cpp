#include "toolkit/codec/JPEG2000Pixels.h"

#include <algorithm>
#include <array>
#include <cstddef>

namespace {

int ClampToRange(double value, int upper)
{
    return static_cast<int>(std::clamp(value, 0.0, static_cast<double>(upper)));
}

uint8_t ClampToByte(int64_t value)
{
    return static_cast<uint8_t>(value < 0 ? 0 : value > 255 ? 255
                                                            : value);
}

constexpr uint32_t kMaxPackedComponents = 5;

// Pixel by pixel, so the output is written once from start to end; the component count is fixed at compile
// time and the conversion chosen once, outside the loop.
// The planes come by value: the byte stores cannot then alias them, and they stay in registers.
template <uint32_t Count, typename Convert>
void PackPixels(const std::array<const OPJ_INT32*, kMaxPackedComponents> planes, size_t area, uint8_t* out,
                Convert convert)
{
    for (size_t i = 0; i < area; ++i) {
        for (uint32_t c = 0; c < Count; ++c)
            *out++ = convert(planes[c][i]);
    }
}

template <typename Convert>
void PackComponents(const opj_image_t& image, uint32_t count, uint8_t* pixels, Convert convert)
{
    std::array<const OPJ_INT32*, kMaxPackedComponents> planes{};
    for (uint32_t c = 0; c < count && c < kMaxPackedComponents; ++c)
        planes[c] = image.comps[c].data;
    const size_t area = size_t{image.comps[0].w} * image.comps[0].h;
    switch (count) {
    case 1: PackPixels<1>(planes, area, pixels, convert); break;
    case 2: PackPixels<2>(planes, area, pixels, convert); break;
    case 3: PackPixels<3>(planes, area, pixels, convert); break;
    case 4: PackPixels<4>(planes, area, pixels, convert); break;
    case 5: PackPixels<5>(planes, area, pixels, convert); break;
    default: break;
    }
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
    const opj_image_comp_t& first = image.comps[0];
    const int64_t offset = first.sgnd ? int64_t{1} << (first.prec - 1) : 0;
    if (first.prec > 8) {
        const uint32_t shift = first.prec - 8;
        PackComponents(image, count, pixels, [=](int64_t sample) { return ClampToByte((sample + offset) >> shift); });
    } else if (first.prec < 8) {
        // Scaled up so that the largest sample of the precision becomes 255.
        const int64_t maximum = (int64_t{1} << first.prec) - 1;
        PackComponents(image, count, pixels,
                       [=](int64_t sample) { return ClampToByte((sample + offset) * 255 / maximum); });
    } else {
        PackComponents(image, count, pixels, [=](int64_t sample) { return ClampToByte(sample + offset); });
    }
}
