#include "toolkit/imagewriter/ImageEncoder.h"

#include <gif_lib.h>
#include <libimagequant.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

int AppendBytes(GifFileType* gif, const GifByteType* data, int length)
{
    static_cast<QByteArray*>(gif->UserData)->append(reinterpret_cast<const char*>(data), length);
    return length;
}

struct GifClose {
    void operator()(GifFileType* gif) const
    {
        int error = 0;
        EGifCloseFile(gif, &error);
    }
};

// The picture as GIF shows it: colours on white, each pixel either opaque or clear (alpha below half),
// the clear ones all one value so that they take a single palette entry.
QImage GIFPixels(const QImage& pixels, bool alpha)
{
    QImage rgba = FlattenOnWhite(pixels).convertToFormat(QImage::Format_RGBA8888);
    if (!alpha)
        return rgba;
    const QImage straight = pixels.convertToFormat(QImage::Format_RGBA8888);
    for (int y = 0; y < rgba.height(); ++y) {
        uchar* row = rgba.scanLine(y);
        const uchar* source = straight.constScanLine(y);
        for (int x = 0; x < rgba.width(); ++x) {
            uchar* p = row + x * 4;
            if (source[x * 4 + 3] < 128)
                p[0] = p[1] = p[2] = p[3] = 0;
        }
    }
    return rgba;
}

// A palette of at most 256 colours chosen for the picture, and each pixel's entry, dithered: libimagequant
// picks the colours that matter to the eye instead of a fixed cube.
struct Quantised {
    std::vector<GifColorType> palette;
    std::vector<GifPixelType> indices;
    int transparent = -1;
};

struct LiqAttr {
    void operator()(liq_attr* attr) const { liq_attr_destroy(attr); }
};
struct LiqImage {
    void operator()(liq_image* image) const { liq_image_destroy(image); }
};
struct LiqResult {
    void operator()(liq_result* result) const { liq_result_destroy(result); }
};

bool Quantise(const QImage& rgba, Quantised& out)
{
    const int width = rgba.width();
    const int height = rgba.height();
    std::unique_ptr<liq_attr, LiqAttr> attr(liq_attr_create());
    if (!attr || liq_set_speed(attr.get(), 4) != LIQ_OK)
        return false;
    std::vector<const unsigned char*> rows(static_cast<size_t>(height));
    for (int y = 0; y < height; ++y)
        rows[static_cast<size_t>(y)] = rgba.constScanLine(y);
    std::unique_ptr<liq_image, LiqImage> image(
        liq_image_create_rgba_rows(attr.get(), reinterpret_cast<void**>(const_cast<unsigned char**>(rows.data())), width, height, 0));
    if (!image)
        return false;
    liq_result* raw = nullptr;
    if (liq_image_quantize(image.get(), attr.get(), &raw) != LIQ_OK || !raw)
        return false;
    std::unique_ptr<liq_result, LiqResult> result(raw);
    liq_set_dithering_level(result.get(), 1.0F);
    out.indices.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
    if (liq_write_remapped_image(result.get(), image.get(), out.indices.data(), out.indices.size()) != LIQ_OK)
        return false;
    const liq_palette* palette = liq_get_palette(result.get());
    if (!palette || palette->count == 0)
        return false;
    for (unsigned i = 0; i < palette->count; ++i) {
        const liq_color& colour = palette->entries[i];
        if (colour.a < 128 && out.transparent < 0)
            out.transparent = static_cast<int>(i);
        out.palette.push_back(GifColorType{colour.r, colour.g, colour.b});
    }
    return true;
}

} // namespace

bool EncodeGIFImage(const BitmapImageRep& image, QByteArray& out)
{
    const QImage& pixels = image.image();
    if (pixels.isNull() || pixels.width() > 0xFFFF || pixels.height() > 0xFFFF) // GIF sizes are 16-bit
        return false;
    const bool alpha = pixels.hasAlphaChannel();
    Quantised quantised;
    if (!Quantise(GIFPixels(pixels, alpha), quantised))
        return false;
    const int transparent = quantised.transparent;
    const std::vector<GifColorType>& palette = quantised.palette;
    int colours = 2;
    while (colours < static_cast<int>(palette.size()))
        colours *= 2;
    std::vector<GifColorType> entries(static_cast<size_t>(colours), GifColorType{0, 0, 0});
    std::copy(palette.begin(), palette.end(), entries.begin());
    int error = 0;
    std::unique_ptr<GifFileType, GifClose> gif(EGifOpen(&out, AppendBytes, &error));
    if (!gif)
        return false;
    EGifSetGifVersion(gif.get(), true);
    ColorMapObject* map = GifMakeMapObject(colours, entries.data());
    if (!map)
        return false;
    const int width = pixels.width();
    const int height = pixels.height();
    const bool written = EGifPutScreenDesc(gif.get(), width, height, 8, 0, map) == GIF_OK;
    GifFreeMapObject(map);
    if (!written)
        return false;
    if (transparent >= 0) {
        GraphicsControlBlock control{};
        control.DisposalMode = DISPOSAL_UNSPECIFIED;
        control.TransparentColor = transparent;
        GifByteType extension[4];
        EGifGCBToExtension(&control, extension);
        if (EGifPutExtension(gif.get(), GRAPHICS_EXT_FUNC_CODE, 4, extension) != GIF_OK)
            return false;
    }
    if (EGifPutImageDesc(gif.get(), 0, 0, width, height, false, nullptr) != GIF_OK)
        return false;
    for (int y = 0; y < height; ++y) {
        GifPixelType* row = quantised.indices.data() + static_cast<size_t>(y) * static_cast<size_t>(width);
        if (EGifPutLine(gif.get(), row, width) != GIF_OK)
            return false;
    }
    if (EGifCloseFile(gif.release(), &error) != GIF_OK) {
        out.clear();
        return false;
    }
    return !out.isEmpty();
}
