#include "toolkit/imageio/CMYKSamples.h"
#include "toolkit/imageio/ImageReaders.h"
#include "toolkit/imageio/SourceLimits.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>

namespace {

struct JPEGErrorManager {
    jpeg_error_mgr base{};
    std::jmp_buf jump{};
};

[[noreturn]] void leaveOnError(j_common_ptr info)
{
    auto* manager = reinterpret_cast<JPEGErrorManager*>(info->err);
    std::longjmp(manager->jump, 1);
}

void ignoreMessage(j_common_ptr /*info*/) {}

// What the decoding leaves behind; it lives in the caller's frame, so that a decoding error (a long
// jump out of libjpeg) leaves nothing to be destroyed in the frame it jumps to.
struct JPEGDecodeResult {
    QImage pixels;
    QByteArray cmyk;
    ColorSpaceModel colorSpace = ColorSpaceModel::RGB;
    double dpiX = 0;
    double dpiY = 0;
    JOCTET* icc = nullptr;
    unsigned int iccLength = 0;
};

void storeResolution(const jpeg_decompress_struct& info, JPEGDecodeResult& result)
{
    if (info.density_unit == 1) {
        result.dpiX = info.X_density;
        result.dpiY = info.Y_density;
    } else if (info.density_unit == 2) {
        result.dpiX = info.X_density * 2.54;
        result.dpiY = info.Y_density * 2.54;
    }
}

// CMYK samples to RGB for drawing. Files written with an Adobe marker store their inks inverted; the
// kept samples are turned back so that 0 means no ink.
void convertCMYKRow(JSAMPLE* samples, int width, bool inverted, QRgb* out)
{
    for (int x = 0; x < width; ++x) {
        JSAMPLE* pixel = samples + static_cast<std::ptrdiff_t>(x) * 4;
        if (inverted) {
            for (int c = 0; c < 4; ++c)
                pixel[c] = static_cast<JSAMPLE>(255 - pixel[c]);
        }
        out[x] = CMYKToRGB(pixel[0], pixel[1], pixel[2], pixel[3]);
    }
}

bool decode(jpeg_decompress_struct& info, JPEGErrorManager& errors, const QByteArray& bytes, JPEGDecodeResult& result)
{
    if (setjmp(errors.jump))
        return false;
    jpeg_create_decompress(&info);
    // Progressive files keep every coefficient in memory; past the limit libjpeg stops with an error.
    info.mem->max_memory_to_use = static_cast<long>(kMaxSourceDecodedBytes);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(bytes.constData()), static_cast<unsigned long>(bytes.size()));
    jpeg_save_markers(&info, JPEG_APP0 + 2, 0xFFFF);
    if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK)
        return false;
    const bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
    const bool grey = info.jpeg_color_space == JCS_GRAYSCALE;
    // Kept as 8-bit grey, 8-bit RGB, or CMYK inks beside their 32-bit RGB picture; a progressive file's
    // coefficients (two bytes a sample) are held whole beside them while it decodes.
    const unsigned kept = cmyk ? 8U : grey ? 1U
                                           : 3U;
    const unsigned coefficients = info.progressive_mode ? 2 * static_cast<unsigned>(info.num_components) : 0;
    if (!FitsSourceBound("JPEG", info.image_width, info.image_height, kept + coefficients))
        return false;
    info.out_color_space = cmyk ? JCS_CMYK : grey ? JCS_GRAYSCALE
                                                  : JCS_RGB;
    storeResolution(info, result);
    jpeg_read_icc_profile(&info, &result.icc, &result.iccLength);
    jpeg_start_decompress(&info);
    const auto width = static_cast<int>(info.output_width);
    const auto height = static_cast<int>(info.output_height);
    result.pixels = QImage(width, height, grey ? QImage::Format_Grayscale8 : cmyk ? QImage::Format_RGB32
                                                                                  : QImage::Format_RGB888);
    if (result.pixels.isNull())
        return false;
    if (cmyk) {
        result.cmyk = QByteArray(static_cast<qsizetype>(width) * height * 4, Qt::Uninitialized);
        result.colorSpace = ColorSpaceModel::CMYK;
    } else if (grey) {
        result.colorSpace = ColorSpaceModel::Grey;
    }
    while (info.output_scanline < info.output_height) {
        const auto row = static_cast<int>(info.output_scanline);
        JSAMPROW target = cmyk ? reinterpret_cast<JSAMPLE*>(result.cmyk.data()) + static_cast<std::ptrdiff_t>(row) * width * 4
                               : result.pixels.scanLine(row);
        jpeg_read_scanlines(&info, &target, 1);
        if (cmyk)
            convertCMYKRow(target, width, info.saw_Adobe_marker, reinterpret_cast<QRgb*>(result.pixels.scanLine(row)));
    }
    jpeg_finish_decompress(&info);
    return true;
}

} // namespace

ImageRepList ReadJPEGRepresentations(const QByteArray& bytes)
{
    if (bytes.size() < 4)
        return {};
    jpeg_decompress_struct info{};
    JPEGErrorManager errors;
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = leaveOnError;
    errors.base.output_message = ignoreMessage;
    JPEGDecodeResult result;
    const bool decoded = decode(info, errors, bytes, result);
    jpeg_destroy_decompress(&info);
    QByteArray icc;
    if (result.icc) {
        icc = QByteArray(reinterpret_cast<const char*>(result.icc), static_cast<qsizetype>(result.iccLength));
        std::free(result.icc);
    }
    if (!decoded || result.pixels.isNull())
        return {};
    // A JFIF density in dots per inch or centimetre is the file's word; without one (no JFIF marker, or
    // only an aspect ratio) the Exif block may hold the resolution.
    if (result.dpiX <= 0 || result.dpiY <= 0) {
        const ExifResolution exif = ReadExifResolution(bytes);
        result.dpiX = exif.dpiX;
        result.dpiY = exif.dpiY;
    }
    BitmapImageRep::Description description;
    description.colorSpace = result.colorSpace;
    description.dpiX = result.dpiX;
    description.dpiY = result.dpiY;
    description.iccProfile = icc;
    return {std::make_shared<BitmapImageRep>(std::move(result.pixels), std::move(result.cmyk), std::move(description))};
}
