#include "common/NumberFieldRules.h"

#include <algorithm>
#include <array>

namespace {

using Type = NumberFieldType;
using Kind = NumberKind;
using Skip = NumberScanner::Skipping;
using End = EndOfEditingCorrection;

// Complete numbers out of range are tolerated while typing and corrected when editing ends; anything else
// is corrected at once.
constexpr std::array<NumberFieldRules, 16> kRules {{
    {Type::WholeNumberField, Kind::Int, Skip::WhiteSpace, 0, std::nullopt, false, End {0, 0}},
    {Type::NumberField, Kind::Double, Skip::WhiteSpace, 0, std::nullopt, false, End {0, 0}},
    {Type::ZeroCountNumberField, Kind::Integer, Skip::WhiteSpace, 0, std::nullopt, false, End {0, 0}},
    {Type::StartDigitNumberField, Kind::Float, Skip::WhiteSpace, 0, std::nullopt, false, End {0, 0}},
    {Type::PageCountNumberField, Kind::Integer, Skip::WhiteSpace, 1, std::nullopt, false, End {1, 1}},
    {Type::FileSizeNumberField, Kind::Float, Skip::WhiteSpace, 0.5, std::nullopt, false, End {0.5, 0}},
    {Type::ResolutionComboBox, Kind::Integer, Skip::WhiteSpace, 1, std::nullopt, false, End {1, 1}},
    {Type::FontSizeNumberField, Kind::Integer, Skip::WhiteSpace, 1, std::nullopt, false, End {1, 1}},
    {Type::RotationAngleNumberField, Kind::Integer, Skip::WhiteSpace, 0, std::nullopt, false, End {1, 0}},
    {Type::ShadowBlurNumberField, Kind::Integer, Skip::WhiteSpace, 0, std::nullopt, false, End {1, 0}},
    {Type::ShadowXOffsetNumberField, Kind::Integer, Skip::WhiteSpace, -5000, std::nullopt, true, End {-4999, -5000}},
    {Type::ShadowYOffsetNumberField, Kind::Integer, Skip::WhiteSpace, -5000, std::nullopt, true, End {-4999, -5000}},
    {Type::PDFScaleNumberField, Kind::Integer, Skip::PercentSigns, 1, std::nullopt, false, End {2, 1}},
    {Type::CharSpaceField, Kind::Double, Skip::WhiteSpace, 0, std::nullopt, false, End {0, 0}},
    {Type::ScaleComboBox, Kind::Integer, Skip::PercentSigns, 1, 6400, false, std::nullopt},
    {Type::ScaleFactorNumberField, Kind::Integer, Skip::WhiteSpace, 10, std::nullopt, false, End {10, 10}},
}};

} // namespace

NumberFieldRules RulesFor(NumberFieldType type)
{
    const auto* rules = std::find_if(kRules.begin(), kRules.end(),
                                     [type](const NumberFieldRules& candidate) { return candidate.type == type; });
    return rules != kRules.end() ? *rules : NumberFieldRules {};
}
