#include "toolkit/imagewriter/CMYKConversion.h"

#include <lcms2.h>

#include <algorithm>
#include <memory>

namespace {

struct ProfileClose {
    void operator()(void* profile) const { cmsCloseProfile(profile); }
};
struct TransformDelete {
    void operator()(void* transform) const { cmsDeleteTransform(transform); }
};

void FormulaRow(const uchar* rgba, int width, uchar* inks)
{
    for (int x = 0; x < width; ++x, rgba += 4, inks += 4) {
        const int light = std::max({rgba[0], rgba[1], rgba[2]});
        const int black = 255 - light;
        if (light == 0) {
            inks[0] = inks[1] = inks[2] = 0;
        } else {
            inks[0] = static_cast<uchar>((light - rgba[0]) * 255 / light);
            inks[1] = static_cast<uchar>((light - rgba[1]) * 255 / light);
            inks[2] = static_cast<uchar>((light - rgba[2]) * 255 / light);
        }
        inks[3] = static_cast<uchar>(black);
    }
}

} // namespace

QByteArray RGBImageToCMYK(const QImage& image, const char* profilePath)
{
    const QImage rgba = image.convertToFormat(QImage::Format_RGBA8888);
    const int width = rgba.width();
    const int height = rgba.height();
    QByteArray inks(static_cast<qsizetype>(width) * height * 4, Qt::Uninitialized);
    auto* out = reinterpret_cast<uchar*>(inks.data());
    std::unique_ptr<void, ProfileClose> cmyk(profilePath ? cmsOpenProfileFromFile(profilePath, "r") : nullptr);
    std::unique_ptr<void, ProfileClose> srgb(cmyk ? cmsCreate_sRGBProfile() : nullptr);
    std::unique_ptr<void, TransformDelete> transform;
    if (cmyk && srgb && cmsGetColorSpace(cmyk.get()) == cmsSigCmykData) {
        // lcms2 counts ink in the same direction (0 = none); TYPE_CMYK_8 is percent scaled to bytes.
        transform.reset(cmsCreateTransform(srgb.get(), TYPE_RGBA_8, cmyk.get(), TYPE_CMYK_8, INTENT_PERCEPTUAL, 0));
    }
    for (int y = 0; y < height; ++y) {
        uchar* row = out + static_cast<size_t>(y) * width * 4;
        if (transform)
            cmsDoTransform(transform.get(), rgba.constScanLine(y), row, static_cast<cmsUInt32Number>(width));
        else
            FormulaRow(rgba.constScanLine(y), width, row);
    }
    return inks;
}
