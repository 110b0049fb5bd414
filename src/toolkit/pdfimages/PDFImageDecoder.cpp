#include "toolkit/pdfimages/PDFImageDecoder.h"

#include "toolkit/helpers/ImageTypeCodes.h"
#include "toolkit/pdf/PDFColorSpaceBuilder.h"
#include "toolkit/pdf/PDFObjectValues.h"
#include "toolkit/pdf/PDFSampleConversion.h"
#include "toolkit/pdf/PDFTintTransform.h"
#include "toolkit/pdfimages/PDFImageDecodeState.h"
#include "toolkit/pdfimages/PDFImageMasks.h"
#include "toolkit/pdfimages/PDFImagePixels.h"
#include "toolkit/pdfimages/PDFImageStreamData.h"

#include <Object.h>
#include <Dict.h>
#include <Stream.h>

#include <set>

namespace {

using namespace PDFImageDecoding;

// Images already being decoded on the way to this one (an image and its masks), by object number.
using DecodePath = std::set<Ref>;

std::shared_ptr<BitmapImageRep> Decode(const PDFImageDecodeContext& context, Dict& dict, Stream& stream,
                                       PDFImageOrigin origin, int depth, DecodePath& path);

std::optional<int64_t> IntegerOf(const Dict& dict, const char* key, const char* abbreviation)
{
    if (auto value = PDFObjectValues::Integer(dict, key))
        return value;
    return PDFObjectValues::Integer(dict, abbreviation);
}

bool IsImageMask(const Dict& dict)
{
    for (const char* key : {"ImageMask", "IM"}) {
        Object value = dict.lookup(key);
        if (value.isBool())
            return value.getBool();
    }
    return false;
}

// Width, height and depth checked before anything is allocated.
bool ReadDimensions(const Dict& dict, ImageState& state)
{
    const auto width = IntegerOf(dict, "Width", "W");
    const auto height = IntegerOf(dict, "Height", "H");
    if (!width || !height || *width < 1 || *height < 1 || *width > kMaxPDFImageSide || *height > kMaxPDFImageSide)
        return false;
    // A stencil mask has one bit a sample whether or not it says so.
    const int64_t bits = IsImageMask(dict) ? 1 : IntegerOf(dict, "BitsPerComponent", "BPC").value_or(8);
    if (bits != 1 && bits != 2 && bits != 4 && bits != 8 && bits != 16)
        return false;
    state.width = static_cast<int>(*width);
    state.height = static_cast<int>(*height);
    state.bits = state.declaredBits = static_cast<int>(bits);
    return true;
}

bool IsOverSideLimit(const Dict& dict)
{
    const auto width = IntegerOf(dict, "Width", "W");
    const auto height = IntegerOf(dict, "Height", "H");
    return (width && *width > kMaxPDFImageSide) || (height && *height > kMaxPDFImageSide);
}

Object ColorSpaceObject(const Dict& dict)
{
    Object value = dict.lookup("ColorSpace");
    return value.isNull() ? dict.lookup("CS") : std::move(value);
}

void ReadColorSpace(const PDFImageDecodeContext& context, const Dict& dict, ImageState& state, bool jpeg2000)
{
    Object value = ColorSpaceObject(dict);
    if (value.isArray()) {
        state.colorSpace = CreateColorSpaceFromArray(*value.getArray(), state.kind, state.components);
        state.colorSpaceArray = std::move(value);
        return;
    }
    if (value.isName()) {
        state.colorSpace = CreateColorSpaceFromName(value.getName(), state.components);
        if (!state.colorSpace && context.pageColorSpaces) {
            Object entry = context.pageColorSpaces->lookup(value.getName());
            if (entry.isArray()) {
                state.colorSpace = CreateColorSpaceFromArray(*entry.getArray(), state.kind, state.components);
                state.colorSpaceArray = std::move(entry);
            }
        }
        if (!state.colorSpace && state.bits == 1 && !jpeg2000) {
            state.colorSpace = PDFColorSpace::Device(PDFColorSpace::Model::Gray);
            state.components = 1;
        }
        return;
    }
    if (!jpeg2000) {
        state.colorSpace = PDFColorSpace::Device(PDFColorSpace::Model::Gray);
        state.components = 1;
    }
}

bool Replace(QByteArray& data, std::optional<QByteArray> converted)
{
    if (!converted)
        return false;
    data = std::move(*converted);
    return true;
}

// Samples to one byte each, the Decode array applied, and the special families through their table
// or tint transform into the space whose bytes a bitmap can show. False when the samples are still
// in a special family's terms: shown as they are they would be another image's colours.
bool ConvertSamples(ImageState& state, const TintCancel& cancel)
{
    const bool special = IsSpecialFamily(state.kind);
    if (special && state.kind != ColorSpaceKind::Indexed && !state.colorSpaceArray.isArray())
        return false;
    const int samplesPerPixel = special ? PixelSamples(state) : state.colorSpace->componentCount();
    state.components = samplesPerPixel;
    if (state.bits != 8) {
        const std::vector<double> decode = state.decode.value_or(std::vector<double>{});
        if (auto expanded = ExpandSamplesTo8Bit(state.data, state.bits, decode, state.width, samplesPerPixel)) {
            state.data = std::move(*expanded);
            state.bits = 8;
            if (state.declaredBits == 1)
                state.decode.reset();
        }
    }
    if (state.bits != 8)
        return false;
    if (state.decode && state.declaredBits != 1) {
        const std::vector<double> ranges = special ? std::vector<double>{} : state.colorSpace->componentRanges();
        if (auto decoded = ApplyDecodeArray(state.data, state.declaredBits, *state.decode,
                                            state.kind == ColorSpaceKind::Indexed, ranges)) {
            state.data = std::move(*decoded);
            state.decode.reset();
        }
    }
    bool converted = true;
    if (state.kind == ColorSpaceKind::Indexed) {
        auto expanded = ExpandIndexedSamples(*state.colorSpace, state.declaredBits, state.data);
        converted = Replace(state.data, std::move(expanded));
        if (converted)
            state.colorSpace = state.colorSpace->base();
    } else if (state.kind == ColorSpaceKind::Separation) {
        converted = Replace(state.data, ApplySeparationTintTransform(*state.colorSpaceArray.getArray(), state.data,
                                                                     TintEvaluation::Cached, cancel));
    } else if (state.kind == ColorSpaceKind::DeviceN) {
        converted = Replace(state.data, ApplyDeviceNTintTransform(*state.colorSpaceArray.getArray(), state.data,
                                                                  TintEvaluation::Cached, cancel));
    }
    if (state.colorSpace)
        state.components = state.colorSpace->componentCount();
    return converted;
}

// Short data (truncated streams are common) is padded with zero samples to the declared size.
bool PadSamples(ImageState& state)
{
    const int64_t expected = SampleBytes(state, state.components);
    if (expected <= 0 || state.data.isEmpty())
        return false;
    if (state.data.size() < expected)
        state.data.append(QByteArray(qsizetype(expected - state.data.size()), '\0'));
    return true;
}

std::optional<Ref> ReferenceOf(const Dict& dict, const char* key)
{
    const Object& value = dict.lookupNF(key);
    if (value.isRef())
        return value.getRef();
    return std::nullopt;
}

std::shared_ptr<BitmapImageRep> DecodeMask(const PDFImageDecodeContext& context, Dict& dict, const char* key,
                                           int depth, DecodePath& path)
{
    if (depth >= kMaxPDFImageMaskDepth)
        return nullptr;
    const std::optional<Ref> reference = ReferenceOf(dict, key);
    if (reference && path.count(*reference))
        return nullptr;
    Object mask = dict.lookup(key);
    if (!mask.isStream() || !mask.getStream()->getDict())
        return nullptr;
    if (reference)
        path.insert(*reference);
    auto decoded = Decode(context, *mask.getStream()->getDict(), *mask.getStream(), PDFImageOrigin::XObject, depth + 1,
                          path);
    if (reference)
        path.erase(*reference);
    return decoded;
}

std::shared_ptr<BitmapImageRep> ApplyMasks(const PDFImageDecodeContext& context, Dict& dict,
                                           std::shared_ptr<BitmapImageRep> image, const ImageState& keyed,
                                           int depth, DecodePath& path)
{
    const QSize size = image->image().size();
    Object mask = dict.lookup("Mask");
    if (mask.isArray()) {
        const auto alpha = ColorKeyAlpha(keyed.data, keyed.bits, keyed.components, keyed.width, keyed.height,
                                         PDFObjectValues::Numbers(*mask.getArray()));
        auto masked = alpha ? ImageWithAlpha(*image, *alpha) : nullptr;
        return masked ? masked : image;
    }
    const bool stencil = mask.isStream();
    auto maskImage = DecodeMask(context, dict, stencil ? "Mask" : "SMask", depth, path);
    if (!maskImage)
        return image;
    auto masked = ImageWithAlpha(*image, MaskAlpha(*maskImage, stencil ? MaskMeaning::Stencil : MaskMeaning::SoftMask, size));
    return masked ? masked : image;
}

std::shared_ptr<BitmapImageRep> Decode(const PDFImageDecodeContext& context, Dict& dict, Stream& stream,
                                       PDFImageOrigin origin, int depth, DecodePath& path)
{
    ImageState state;
    if (!ReadDimensions(dict, state)) {
        if (context.overLimit && IsOverSideLimit(dict))
            *context.overLimit = true;
        return nullptr;
    }
    const bool encodedAllowed = origin == PDFImageOrigin::XObject;
    const bool jpeg2000 = encodedAllowed && stream.getKind() == strJPX;
    ReadColorSpace(context, dict, state, jpeg2000);
    // Only JPEG 2000 data may bring its colour along; anything else without one is never read.
    if (!state.colorSpace && !jpeg2000)
        return nullptr;
    // A Separation or DeviceN image has its own colour space's samples, not its alternate's: an inline
    // image read with the alternate's count would swallow the content after it.
    const int samplesPerPixel = IsSpecialFamily(state.kind) ? PixelSamples(state) : state.components;
    const int64_t sampleLimit = SampleBytes(state, std::max(samplesPerPixel, 1));
    if (sampleLimit <= 0 || !JBIG2DeclaredSizesFit(stream, origin == PDFImageOrigin::Inline)) {
        if (context.overLimit)
            *context.overLimit = true;
        return nullptr;
    }
    PDFImageStreamData bytes = CopyPDFImageStreamData(stream, size_t(sampleLimit), encodedAllowed);
    state.format = bytes.format;
    state.data = std::move(bytes.bytes);
    if (state.format == Format::JPEG2000 && !DecodeJPXData(state) && !DecodeWithLibrary(stream, state))
        return nullptr;
    if (state.format == Format::JPEG && !DecodeDCTData(state) && !DecodeWithLibrary(stream, state))
        return nullptr;
    if (!state.colorSpace)
        return nullptr;
    state.decode = ReadDecodeArray(dict);
    if (state.components < 1)
        state.components = state.colorSpace->componentCount();
    if (IsSpecialFamily(state.kind))
        state.components = PixelSamples(state);
    if (!PadSamples(state))
        return nullptr;
    const ImageState keyed{state.width, state.height, state.bits, state.declaredBits, state.format, state.data,
                           nullptr, state.components, state.kind, Object(), std::nullopt};
    if (!ConvertSamples(state, TintCancel{context.cancelled, state.width}) || !state.colorSpace)
        return nullptr;
    auto image = MakeBitmapFromSamples(state.data, state.width, state.height, *state.colorSpace);
    if (!image || !TypeSupportsAlpha(context.outputType))
        return image;
    return ApplyMasks(context, dict, std::move(image), keyed, depth, path);
}

} // namespace

std::optional<std::vector<double>> ReadDecodeArray(const Dict& dictionary)
{
    return PDFObjectValues::NumberArray(dictionary, "Decode");
}

std::shared_ptr<BitmapImageRep> DecodePDFImage(const PDFImageDecodeContext& context, Dict& dictionary, Stream& stream,
                                               PDFImageOrigin origin)
{
    DecodePath path;
    return Decode(context, dictionary, stream, origin, 0, path);
}
