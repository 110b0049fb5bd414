#include "toolkit/imageio/ImageReaders.h"
#include "toolkit/imageio/SourceLimits.h"

#include <libraw/libraw.h>

#include <cstring>

namespace {

struct ProcessedImageFree {
    void operator()(libraw_processed_image_t* image) const { LibRaw::dcraw_clear_mem(image); }
};

} // namespace

// A camera's raw file developed as the camera's own settings say (its white balance), into 8-bit RGB.
ImageRepList ReadCameraRawRepresentations(const QByteArray& bytes)
{
    if (bytes.size() < 16)
        return {};
    auto raw = std::make_unique<LibRaw>(LIBRAW_OPTIONS_NONE);
    if (raw->open_buffer(const_cast<char*>(bytes.constData()), static_cast<size_t>(bytes.size())) != LIBRAW_SUCCESS)
        return {};
    const auto& sizes = raw->imgdata.sizes;
    // The sensor's samples and the developed image must both stay within the limit.
    if (!FitsSourceBound("camera raw", sizes.raw_width, sizes.raw_height, 8) || !FitsSourceBound("camera raw", sizes.width, sizes.height, 8))
        return {};
    raw->imgdata.params.use_camera_wb = 1;
    raw->imgdata.params.output_bps = 8;
    if (raw->unpack() != LIBRAW_SUCCESS || raw->dcraw_process() != LIBRAW_SUCCESS)
        return {};
    int error = 0;
    std::unique_ptr<libraw_processed_image_t, ProcessedImageFree> developed(raw->dcraw_make_mem_image(&error));
    if (!developed || error != LIBRAW_SUCCESS || developed->type != LIBRAW_IMAGE_BITMAP || developed->bits != 8
        || (developed->colors != 3 && developed->colors != 1))
        return {};
    const int width = developed->width;
    const int height = developed->height;
    const int colours = developed->colors;
    if (static_cast<std::uint64_t>(developed->data_size) < static_cast<std::uint64_t>(width) * height * colours)
        return {};
    QImage pixels(width, height, colours == 3 ? QImage::Format_RGB888 : QImage::Format_Grayscale8);
    if (pixels.isNull())
        return {};
    const auto rowBytes = static_cast<std::size_t>(width) * colours;
    for (int y = 0; y < height; ++y)
        std::memcpy(pixels.scanLine(y), developed->data + rowBytes * static_cast<std::size_t>(y), rowBytes);
    BitmapImageRep::Description description;
    description.colorSpace = colours == 3 ? ColorSpaceModel::RGB : ColorSpaceModel::Grey;
    return {std::make_shared<BitmapImageRep>(std::move(pixels), std::move(description))};
}
