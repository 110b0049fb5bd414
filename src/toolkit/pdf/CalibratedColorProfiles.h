#pragma once

#include "toolkit/pdf/PDFColorSpace.h"

#include <cstdint>
#include <vector>

class Dict;

// Colour spaces carried by lcms2 profiles. Each returns none when lcms2 cannot make or read the
// profile; the calibrated ones then fall back to the device space of their model, so that an image
// with odd calibration values keeps its colours rather than being lost.

// An embedded ICC profile of n components; none when the bytes are no profile of that many.
PDFColorSpacePtr CreateICCColorSpace(const std::vector<uint8_t>& profile, int n, std::vector<double> ranges);
// From the dictionary of a CalGray, CalRGB or Lab space, which holds a WhitePoint.
PDFColorSpacePtr CreateCalGrayColorSpace(const Dict& dict);
PDFColorSpacePtr CreateCalRGBColorSpace(const Dict& dict);
PDFColorSpacePtr CreateLabColorSpace(const Dict& dict);
