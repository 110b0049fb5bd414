#pragma once

#include "toolkit/codec/CodecBuffer.h"

#include <QString>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// Test images made on the spot: pixel patterns and small PNG, JPEG and TIFF files written with the
// codec libraries directly, so each test knows exactly what its input holds.
namespace CodecTestImages {

// A smooth pattern (lossy codecs keep it within a few levels), different in every component.
CodecBuffer Gradient(uint32_t width, uint32_t height, uint32_t components);

// Largest difference between two equally long buffers; -1 when their lengths differ.
int MaxDifference(const CodecBuffer& a, const CodecBuffer& b);
// Mean absolute difference; -1 when the lengths differ.
double MeanDifference(const CodecBuffer& a, const CodecBuffer& b);

CodecBuffer ReadWholeFile(const QString& path);
bool WriteWholeFile(const QString& path, const CodecBuffer& bytes);

struct PNGText {
    std::string key;
    std::string text;
    bool international = false;
};

struct PNGSpec {
    uint32_t width = 0;
    uint32_t height = 0;
    int colourType = 0; // PNG_COLOR_TYPE_*
    int bitDepth = 8;
    bool interlaced = false;
    CodecBuffer samples;          // rows as the file stores them (16-bit samples big-endian)
    bool transparentGrey = false; // a tRNS chunk marking grey level 0 (or black) transparent
    std::vector<PNGText> texts;
    CodecBuffer iccProfile;
};
bool WritePNG(const QString& path, const PNGSpec& spec);

struct JPEGMarker {
    int code; // JPEG_APP0 + n
    CodecBuffer data;
};
// Components 1 (grey), 3 (RGB) or 4 (CMYK); quality 95.
bool WriteJPEG(const QString& path, uint32_t width, uint32_t height, uint32_t components, const CodecBuffer& pixels,
               const std::vector<JPEGMarker>& markers = {});

struct TIFFPage {
    uint32_t width = 0;
    uint32_t height = 0;
    uint16_t samples = 3;         // 3 RGB or 4 RGBA
    uint16_t extraSampleKind = 2; // EXTRASAMPLE_UNASSALPHA for straight alpha
    CodecBuffer pixels;
    CodecBuffer iccProfile;
    bool withExifDirectory = false;
};
bool WriteTIFF(const QString& path, const std::vector<TIFFPage>& pages);

// An sRGB profile made by lcms2 (libpng checks the profiles it reads, so a made-up one will not do).
CodecBuffer SRGBProfile();

// An APP1 EXIF payload ("Exif\0\0" then the given bytes) and APP2 ICC segments.
JPEGMarker ExifMarker(const CodecBuffer& payload);
JPEGMarker ICCMarker(int sequence, int count, const CodecBuffer& segment);

} // namespace CodecTestImages
