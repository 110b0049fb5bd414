#pragma once

#include <QString>

#include <optional>

// The fixed paper sizes of the page-size popup, by item index, in millimetres. Every fixed size
// comes with four margins of kFixedSizeMarginMm.
namespace FixedPageSizes {

inline constexpr int kCustomIndex = 0;
inline constexpr int kFirstSeparatorIndex = 1;
inline constexpr int kFirstFixedIndex = 2;
inline constexpr int kLastFixedIndex = 15;
inline constexpr int kSecondSeparatorIndex = 16;
inline constexpr int kFirstPresetIndex = 17;
inline constexpr int kDefaultIndex = 3; // 210 x 297 mm
inline constexpr double kFixedSizeMarginMm = 27.2;

struct PaperSize {
    const char* title;
    double widthMm;
    double heightMm;
};

// The size at a popup index from kFirstFixedIndex to kLastFixedIndex; nothing for other indexes.
std::optional<PaperSize> paperSizeAt(int popupIndex);

} // namespace FixedPageSizes
