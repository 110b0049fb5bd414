#pragma once

#include <CharTypes.h>

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace PDFCore {

// The Unicode text of one character code: one value, or a sequence of at most eight.
struct UnicodeSequence
{
    static constexpr std::size_t kMaxLength = 8;
    std::array<Unicode, kMaxLength> values{};
    std::uint8_t length = 0;

    bool operator==(const UnicodeSequence&) const = default;
};

// A character collection's map from character ids to Unicode, read from a ToUnicode CMap.
struct CIDToUnicodeMap
{
    std::string collection;
    std::map<CharCode, UnicodeSequence> entries;
};

// Finds the text of the ToUnicode CMap of a name, for `usecmap`.
using ToUnicodeCMapFinder = std::function<std::optional<std::string>(const std::string& name)>;

// Reads ToUnicode CMap text with 16-bit codes into `map`: bfchar and bfrange blocks, and usecmap of
// a CMap that `find` supplies (read into the same map first). Malformed entries are reported through
// the core's error channel and skipped; the rest is still read.
void readToUnicodeCMap(std::string_view text, CIDToUnicodeMap& map, const ToUnicodeCMapFinder& find);

// Reads a character collection's CID-to-Unicode file, a ToUnicode CMap with 16-bit codes; CMaps it
// uses are looked for in `toUnicodeDirs`, in order. None when the file does not open (reported).
std::optional<CIDToUnicodeMap> parseCIDToUnicodeCMap(const std::string& fileName, const std::string& collection,
                                                     const std::vector<std::string>& toUnicodeDirs);

} // namespace PDFCore
