#pragma once

#include <QString>

#include <array>
#include <optional>

// The units in which page sizes and margins are typed, by the tag of their unit-popup item.
namespace PageUnits {

inline constexpr int kInchTag = 3;
inline constexpr int kCentimetreTag = 4;
inline constexpr int kMillimetreTag = 5;
inline constexpr int kPointTag = 6;
inline constexpr std::array<int, 4> kTags{kInchTag, kCentimetreTag, kMillimetreTag, kPointTag};

// PDF points (1/72 inch) per unit; -1.0 for a tag that names no unit.
double SizeTypeFactor(int tag);

// The unit's title in the unit popup.
QString unitTitle(int tag);

// The unit's name in a stored preset: a short symbol that does not change with the language of the
// titles ("in", "cm", "mm", "pt"); empty for a tag that names no unit.
QString unitStorageName(int tag);

// The unit a preset names: its storage name or its title, in any case and with blanks around.
std::optional<int> unitTagForStoredName(const QString& name);

// A value converted between units and rounded to two decimals, halves going up.
double convertForUnitChange(double value, int fromTag, int toTag);

} // namespace PageUnits
