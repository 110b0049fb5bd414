#pragma once

#include <cstdint>

// Fit modes of the size record.
namespace ImageFitMode {
enum : std::uint32_t {
    FitInside = 2,
    CropToBox = 3,
    FillBox = 5,
    FillAndCrop = 6
};
} // namespace ImageFitMode

// The target size of an image conversion. width and height are in unit (codes of LengthUnit: 1 percent,
// 2 pixels, 4 centimetres, 5 millimetres, 6 points, other inches).
struct ImageSizeOptions {
    std::uint8_t keepAspectRatio = 0;
    std::uint8_t resize = 0; // exactly 1: resample; otherwise the size only sets the resolution
    std::uint8_t allowEnlarge = 0;
    std::uint8_t sharpen = 0;
    std::int64_t dpi = 0; // below 1: the image's own resolution
    double width = 0;
    double height = 0;
    std::uint32_t unit = 0;
    std::uint32_t fitMode = 0;
};
