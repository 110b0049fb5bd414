#include "toolkit/pdfimages/PDFImageDecodeState.h"

#include "toolkit/codec/JPEG2000Codec.h"
#include "toolkit/codec/JPEGCodec.h"
#include "toolkit/pdf/CalibratedColorProfiles.h"
#include "toolkit/pdf/PDFColorSpaceBuilder.h"
#include "toolkit/pdf/PDFTintTransform.h"
#include "toolkit/pdfimages/PDFImageDecoder.h"

#include <Stream.h>

#include <cstring>

namespace PDFImageDecoding {

int64_t SampleBytes(const ImageState& state, int components)
{
    const int64_t rowBytes = (int64_t(state.width) * components * state.bits + 7) / 8;
    const int64_t total = rowBytes * state.height;
    return total > kMaxPDFImageSampleBytes ? 0 : total;
}

bool IsSpecialFamily(ColorSpaceKind kind)
{
    return kind == ColorSpaceKind::Indexed || kind == ColorSpaceKind::Separation || kind == ColorSpaceKind::DeviceN;
}

int PixelSamples(const ImageState& state)
{
    if (state.kind == ColorSpaceKind::DeviceN && state.colorSpaceArray.isArray())
        return DeviceNColorantCount(*state.colorSpaceArray.getArray());
    return 1;
}

int StoredSamples(const ImageState& state)
{
    if (IsSpecialFamily(state.kind))
        return PixelSamples(state);
    return state.colorSpace ? state.colorSpace->componentCount() : 0;
}

namespace {

PDFColorSpacePtr DeviceSpaceOfCount(int components)
{
    switch (components) {
    case 1: return PDFColorSpace::Device(PDFColorSpace::Model::Gray);
    case 3: return PDFColorSpace::Device(PDFColorSpace::Model::RGB);
    case 4: return PDFColorSpace::Device(PDFColorSpace::Model::CMYK);
    default: return nullptr;
    }
}

} // namespace

bool DecodeDCTData(ImageState& state)
{
    uint32_t code = 0, width = 0, height = 0;
    double dpiX = 0, dpiY = 0;
    CodecBuffer pixels;
    const auto* bytes = reinterpret_cast<const uint8_t*>(state.data.constData());
    if (DecodeJPEGFromMemory(bytes, uint64_t(state.data.size()), &code, &pixels, &width, &height, &dpiX, &dpiY) != 0)
        return false;
    const int components = code == kJPEGComponentsGrey ? 1 : code == kJPEGComponentsRGB ? 3
                                                                                        : 4;
    // The JPEG's own frame says how its pixels are laid out, whatever the dictionary claims.
    state.width = int(width);
    state.height = int(height);
    // A Separation or DeviceN JPEG holds its tints: they go through the tint transform later.
    if (!state.colorSpace || StoredSamples(state) != components) {
        state.colorSpace = DeviceSpaceOfCount(components);
        state.kind = ColorSpaceKind::None;
    }
    state.components = components;
    state.data = ToByteArray(pixels);
    state.format = Format::Samples;
    state.bits = 8;
    return true;
}

namespace {

// The samples of a decoder that may add an alpha component after the colour: the colour only.
QByteArray DropExtraComponents(const QByteArray& pixels, int64_t pixelCount, int from, int to)
{
    QByteArray colour(qsizetype(pixelCount) * to, '\0');
    for (int64_t i = 0; i < pixelCount; ++i)
        std::memcpy(colour.data() + i * to, pixels.constData() + i * from, size_t(to));
    return colour;
}

std::vector<double> UnitRanges(int components)
{
    std::vector<double> ranges;
    for (int i = 0; i < components; ++i)
        ranges.insert(ranges.end(), {0.0, 1.0});
    return ranges;
}

} // namespace

bool DecodeJPXData(ImageState& state)
{
    CodecBuffer input(state.data.begin(), state.data.end());
    CodecBuffer pixels, profile;
    const bool known = state.colorSpace != nullptr;
    uint32_t kind = known && state.kind <= ColorSpaceKind::CMYK ? uint32_t(state.kind) : 0;
    int64_t components = 0;
    if (DecodeJPEG2000Data(input, &pixels, &kind, &components, &profile) != 0 || components < 1)
        return false;
    int colourComponents = int(components);
    PDFColorSpacePtr space = state.colorSpace;
    if (known) {
        colourComponents = StoredSamples(state);
    } else {
        // The decoder names the colour it found; a component beyond that is alpha.
        if (kind == kJPEG2000ColourGrey)
            colourComponents = 1;
        else if (kind == kJPEG2000ColourRGB)
            colourComponents = 3;
        else if (kind == kJPEG2000ColourCMYK)
            colourComponents = 4;
        if (!profile.empty())
            space = CreateICCColorSpace(profile, colourComponents, UnitRanges(colourComponents));
        if (!space)
            space = CreateColorSpaceFromKind(ColorSpaceKind(kind));
        if (!space || space->componentCount() != colourComponents)
            space = DeviceSpaceOfCount(colourComponents);
    }
    // The codec does not say the picture's size: the dictionary's must account for every pixel.
    const int64_t pixelCount = int64_t(state.width) * state.height;
    if (!space || components < colourComponents || int64_t(pixels.size()) != pixelCount * components)
        return false;
    state.data = ToByteArray(pixels);
    if (components != colourComponents)
        state.data = DropExtraComponents(state.data, pixelCount, int(components), colourComponents);
    state.colorSpace = space;
    state.components = colourComponents;
    state.format = Format::Samples;
    state.bits = 8;
    return true;
}

bool DecodeWithLibrary(Stream& stream, ImageState& state)
{
    if (!state.colorSpace)
        return false;
    state.bits = 8;
    const int64_t expected = SampleBytes(state, StoredSamples(state));
    if (expected <= 0)
        return false;
    state.data = CopyPDFImageStreamData(stream, size_t(expected), false).bytes;
    state.format = Format::Samples;
    return !state.data.isEmpty();
}

} // namespace PDFImageDecoding
