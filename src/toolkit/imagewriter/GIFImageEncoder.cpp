#include "toolkit/imagewriter/ImageEncoder.h"

#include <gif_lib.h>

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

} // namespace

bool EncodeGIFImage(const BitmapImageRep& image, QByteArray& out)
{
    const QImage& pixels = image.image();
    if (pixels.isNull() || pixels.width() > 0xFFFF || pixels.height() > 0xFFFF) // GIF sizes are 16-bit
        return false;
    const bool alpha = pixels.hasAlphaChannel();
    // Qt's palette conversion; the last entry is given up for transparency when the palette is full.
    QImage indexed = FlattenOnWhite(pixels).convertToFormat(QImage::Format_Indexed8, Qt::DiffuseDither);
    QList<QRgb> palette = indexed.colorTable();
    int transparent = -1;
    if (alpha) {
        if (palette.size() >= 256)
            palette.resize(255);
        transparent = static_cast<int>(palette.size());
        palette.append(qRgb(255, 255, 255));
    }
    int colours = 2;
    while (colours < palette.size())
        colours *= 2;
    std::vector<GifColorType> entries(static_cast<size_t>(colours), GifColorType{0, 0, 0});
    for (qsizetype i = 0; i < palette.size(); ++i)
        entries[static_cast<size_t>(i)] = GifColorType{static_cast<GifByteType>(qRed(palette[i])),
                                                       static_cast<GifByteType>(qGreen(palette[i])),
                                                       static_cast<GifByteType>(qBlue(palette[i]))};
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
    const QImage rgba = alpha ? pixels.convertToFormat(QImage::Format_RGBA8888) : QImage();
    std::vector<GifPixelType> row(static_cast<size_t>(width));
    for (int y = 0; y < height; ++y) {
        const uchar* source = indexed.constScanLine(y);
        const uchar* alphaRow = alpha ? rgba.constScanLine(y) : nullptr;
        for (int x = 0; x < width; ++x)
            row[static_cast<size_t>(x)] = (alphaRow && alphaRow[x * 4 + 3] < 128) ? static_cast<GifPixelType>(transparent)
                                                                                  : source[x];
        if (EGifPutLine(gif.get(), row.data(), width) != GIF_OK)
            return false;
    }
    if (EGifCloseFile(gif.release(), &error) != GIF_OK) {
        out.clear();
        return false;
    }
    return !out.isEmpty();
}
