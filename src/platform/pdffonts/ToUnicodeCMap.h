#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

// The ToUnicode map of a font with two-byte codes: code to UTF-16BE text. Reads the forms a PDF
// writer uses for such maps (bfchar and bfrange with a start or an array of strings) and writes
// one back in bfchar form.
namespace ToUnicodeCMap {

using Map = std::map<uint16_t, std::string>; // code to UTF-16BE bytes

// Null when the map uses anything else (other code lengths, names, unbalanced sections): such a
// map cannot be merged without risk of changing the text a reader extracts.
std::optional<Map> parse(std::string_view cmap);

std::string write(const Map& map);

} // namespace ToUnicodeCMap
