#pragma once

#include "toolkit/pdf/PDFColorSpace.h"
#include "toolkit/pdfimages/PDFImageStreamData.h"

#include <QByteArray>

#include <Object.h>

#include <cstdint>
#include <optional>
#include <vector>

class Stream;

// The working state of one image's decoding, as its steps hand it on.
namespace PDFImageDecoding {

using Format = PDFImageStreamData::Format;

struct ImageState {
    int width = 0;
    int height = 0;
    int bits = 8;
    int declaredBits = 8;
    Format format = Format::Samples;
    QByteArray data;
    PDFColorSpacePtr colorSpace;
    int components = 0;
    ColorSpaceKind kind = ColorSpaceKind::None;
    Object colorSpaceArray;
    std::optional<std::vector<double>> decode;
};

bool IsSpecialFamily(ColorSpaceKind kind);
// The samples of a pixel in a special family: a DeviceN space's colorants, else the one index or tint.
int PixelSamples(const ImageState& state);
// The samples of a pixel as stored: a special family's own, else the colour space's.
int StoredSamples(const ImageState& state);

// Bytes a row and the whole image take at the state's depth; 0 when over the cap.
int64_t SampleBytes(const ImageState& state, int components);

// JPEG and JPEG 2000 bytes into 8-bit samples with the toolkit's codecs; false leaves the state as it was.
bool DecodeDCTData(ImageState& state);
bool DecodeJPXData(ImageState& state);
// The PDF library's own decoder for data the toolkit's codec refused.
bool DecodeWithLibrary(Stream& stream, ImageState& state);

} // namespace PDFImageDecoding
