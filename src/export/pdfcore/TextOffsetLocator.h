#pragma once

#include "export/pdfcore/TextOffsetRecord.h"

#include <CharTypes.h>

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

class UnicodeMap;

namespace PDFCore {

// One word of a page as the text device lays it out in content-stream order.
struct LocatorWord
{
    std::vector<Unicode> chars;
    double xMin = 0.0; // left edge, points, origin at the page's top-left corner
    double yMin = 0.0; // top edge, points, y downward
};

// Results of a locator run.
inline constexpr int kLocateMatched = 0;
inline constexpr int kLocateFailed = 1; // the page's words could not be followed through the text

// Advances `offset` past tabs, line feeds, carriage returns, spaces and UTF-8 no-break spaces.
void skipTextWhitespace(std::string_view text, std::int32_t& offset);

// Follows the page's `words` through the topic `text` from `textOffset`, and locates, in order from
// `recordIndex`, every record whose offset the walk reaches: the record takes the position of the word
// at which it is reached. `textOffset` and `recordIndex` carry over from page to page of a topic.
// `encoding` turns a word's characters into the text's bytes; without one nothing can be matched.
// Reads never go outside `text`; an offset outside it is taken as its nearer end.
int locateTextOffsets(std::span<const LocatorWord> words, const UnicodeMap* encoding, std::string_view text,
                      std::int32_t& textOffset, std::span<TextOffsetRecord> records, std::int32_t& recordIndex);

} // namespace PDFCore
