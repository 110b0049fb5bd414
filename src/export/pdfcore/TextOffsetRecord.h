#pragma once

#include <cstdint>

// One text offset of a topic whose place on a printed page is sought. The caller zero-fills the
// records and sets `charOffset`; the locator fills in the rest when it reaches that offset.
struct TextOffsetRecord
{
    std::uint32_t charOffset = 0; // byte offset in the topic's UTF-8 text
    double x = 0.0;               // left edge of the word found there, points from the page's left edge
    double y = 0.0;               // 2 points above that word's top, points down from the page's top edge
    std::int32_t found = 0;       // 1 once located
};
