#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

class Array;
class Dict;
class Stream;

// Typed reads of PDF object values, the way the toolkit's PDF code wants them: a missing key or a
// value of another type is "none".
namespace PDFObjectValues {

// The numbers of an array under key; an element that is not a number reads as 0.
std::optional<std::vector<double>> NumberArray(const Dict& dict, const char* key);
std::vector<double> Numbers(const Array& array);
std::optional<int64_t> Integer(const Dict& dict, const char* key);
std::optional<double> Number(const Dict& dict, const char* key);

// The stream's decoded bytes, at most limit of them: the rest is never decoded.
std::vector<uint8_t> StreamBytes(Stream& stream, size_t limit);

} // namespace PDFObjectValues
