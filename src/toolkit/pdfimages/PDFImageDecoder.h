#pragma once

#include "toolkit/imageio/ImageRep.h"
#include "toolkit/pdfimages/PDFImageBounds.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class Dict;
class Stream;
class PDFImageExtractor;

// What decoding one image needs from the page it is on and from the run that writes it.
struct PDFImageDecodeContext {
    // The page's Resources/ColorSpace dictionary; named colour spaces resolve against it.
    Dict* pageColorSpaces = nullptr;
    // Masks are applied only when this output type keeps alpha.
    std::uint32_t outputType = 0;
    // Set when the image, or one of its masks, was refused for its size.
    bool* overLimit = nullptr;
    // Asked for each row of a slow conversion; true abandons the image.
    std::function<bool()> cancelled = {};
};

// Where the image's bytes come from. The filters of an inline image read from the content stream
// itself, which has no end of its own: its bytes are always decoded by the PDF library, and only as
// many as the image needs.
enum class PDFImageOrigin {
    XObject,
    Inline
};

// Masks of masks are followed this deep, and never back to an image already being decoded.
inline constexpr int kMaxPDFImageMaskDepth = 4;

// One PDF image, an image XObject or an inline image, as a bitmap: JPEG and JPEG 2000 through the
// toolkit's codecs (the PDF library's own decoders when those refuse the bytes), the special colour
// families converted into their base or alternate space, colour-key, stencil and soft masks applied
// when the output keeps alpha. None when the image cannot be made; nothing is reported.
std::shared_ptr<BitmapImageRep> DecodePDFImage(const PDFImageDecodeContext& context, Dict& dictionary, Stream& stream,
                                               PDFImageOrigin origin = PDFImageOrigin::XObject);
std::shared_ptr<BitmapImageRep> DecodePDFImage(const PDFImageExtractor& extractor, Dict& dictionary, Stream& stream,
                                               PDFImageOrigin origin = PDFImageOrigin::XObject);

// The numbers of "Decode" (the full key only); none when absent.
std::optional<std::vector<double>> ReadDecodeArray(const Dict& dictionary);
