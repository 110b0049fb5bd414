#include "app/options/FixedPageSizes.h"

#include <array>

namespace FixedPageSizes {

namespace {

constexpr std::array<PaperSize, kLastFixedIndex - kFirstFixedIndex + 1> kPaperSizes{{
    {"A3", 297, 420},
    {"A4", 210, 297},
    {"A5", 148, 210},
    {"B5", 176, 250},
    {"Envelope #10", 105, 241},
    {"Envelope Choukei 3", 120, 235},
    {"Envelope DL", 110, 220},
    {"JIS B5", 182, 257},
    {"ROC 16K", 197, 273},
    {"Super B/A3", 330, 483},
    {"Tabloid", 279, 432},
    {"Tabloid Oversize", 305, 457},
    {"US Legal", 216, 356},
    {"US Letter", 216, 279},
}};

} // namespace

std::optional<PaperSize> paperSizeAt(int popupIndex)
{
    if (popupIndex < kFirstFixedIndex || popupIndex > kLastFixedIndex)
        return std::nullopt;
    return kPaperSizes[static_cast<std::size_t>(popupIndex - kFirstFixedIndex)];
}

} // namespace FixedPageSizes
