#pragma once

#include <cstdint>

#include <openjpeg.h>

// Turning a decoded OpenJPEG image into packed 8-bit pixels. Every function expects the components
// checked first: at least one, all of the first one's width, height and precision (1 to 31 bits), each with
// its samples.

struct JPEG2000ComponentSplit {
    uint32_t colour = 0; // colour components, at most 4
    uint32_t extra = 0;  // alpha components after them, at most 1
};

JPEG2000ComponentSplit SplitJPEG2000Components(const opj_image_t& image);

// Converts the first three components of an sYCC image to RGB in place, so the pixels that leave the glue
// are always in the colour space the caller is told about; the image then counts as sRGB. Images with
// fewer than three components or signed samples are left as they are.
void ConvertJPEG2000SYCCToRGB(opj_image_t& image);

// One byte a sample, `count` components a pixel (1 to 5): precisions above 8 keep their high bits, below 8 are
// scaled up to the full 8-bit range; signed samples (as the first component says) are moved up by half
// their range first.
void PackJPEG2000Samples(const opj_image_t& image, uint32_t count, uint8_t* pixels);
