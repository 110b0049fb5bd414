#pragma once

#include "export/pdfcore/TextOffsetRecord.h"

#include <cstdint>
#include <span>
#include <string_view>

class PDFDoc;

namespace PDFCore {

// The text pass over one printed page: renders page `pageNumber` (counted from 1) of `document` into a
// content-order text device at 72 dpi, unrotated, cropped, and locates the text offsets among its
// words. Returns the locator's result; 0 when the text device cannot be made.
int locateTextOffsetsOnPage(PDFDoc& document, int pageNumber, std::string_view text, std::int32_t& textOffset,
                            std::span<TextOffsetRecord> records, std::int32_t& recordIndex);

} // namespace PDFCore
