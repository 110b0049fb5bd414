#include "toolkit/pdf/PDFObjectValues.h"

#include <Object.h>
#include <Array.h>
#include <Dict.h>
#include <Stream.h>

#include <algorithm>

namespace PDFObjectValues {

std::vector<double> Numbers(const Array& array)
{
    std::vector<double> numbers;
    numbers.reserve(static_cast<size_t>(array.getLength()));
    for (int i = 0; i < array.getLength(); ++i) {
        const Object element = array.get(i);
        numbers.push_back(element.isNum() ? element.getNum() : 0.0);
    }
    return numbers;
}

std::optional<std::vector<double>> NumberArray(const Dict& dict, const char* key)
{
    const Object value = dict.lookup(key);
    if (!value.isArray())
        return std::nullopt;
    return Numbers(*value.getArray());
}

std::optional<int64_t> Integer(const Dict& dict, const char* key)
{
    const Object value = dict.lookup(key);
    if (value.isInt())
        return value.getInt();
    if (value.isInt64())
        return value.getInt64();
    return std::nullopt;
}

std::optional<double> Number(const Dict& dict, const char* key)
{
    const Object value = dict.lookup(key);
    if (!value.isNum())
        return std::nullopt;
    return value.getNum();
}

std::vector<uint8_t> StreamBytes(Stream& stream, size_t limit)
{
    std::vector<uint8_t> bytes;
    stream.reset();
    constexpr size_t kChunk = 65536;
    while (bytes.size() < limit) {
        const size_t wanted = std::min(kChunk, limit - bytes.size());
        const size_t used = bytes.size();
        bytes.resize(used + wanted);
        const int read = stream.doGetChars(static_cast<int>(wanted), bytes.data() + used);
        bytes.resize(used + static_cast<size_t>(std::max(read, 0)));
        if (read <= 0 || static_cast<size_t>(read) < wanted)
            break;
    }
    stream.close();
    return bytes;
}

} // namespace PDFObjectValues
