#pragma once

#include "toolkit/pdf/PDFColorSpace.h"

class Array;

// Colour spaces from PDF colour-space arrays and names. Nothing is reported: a space that cannot be
// built is none. Arrays may refer to themselves through their base or alternate space; building
// stops after kMaxColorSpaceNesting levels.
constexpr int kMaxColorSpaceNesting = 8;

PDFColorSpacePtr CreateColorSpaceFromArray(const Array& array, ColorSpaceKind& kind, int& componentCount);
// Device names only ("DeviceRGB"/"RGB", "DeviceCMYK"/"CMYK", "DeviceGray"/"G"); the count is left
// alone for other names.
PDFColorSpacePtr CreateColorSpaceFromName(const char* name, int& componentCount);
PDFColorSpacePtr CreateDeviceColorSpace(const char* name);
// The kinds the JPEG 2000 decoder reports: 1 gray, 2 RGB, 3 CMYK.
PDFColorSpacePtr CreateColorSpaceFromKind(ColorSpaceKind kind);

namespace PDFColorSpaceDetail {
PDFColorSpacePtr BuildFromArray(const Array& array, ColorSpaceKind& kind, int& componentCount, int depth);
} // namespace PDFColorSpaceDetail
