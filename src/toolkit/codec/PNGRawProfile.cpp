#include "toolkit/codec/PNGRawProfile.h"

#include <cstdint>
#include <cstdio>
#include <new>
#include <utility>

namespace {

int MalformedAt(const char* position, const char* end)
{
    const unsigned found = position < end ? static_cast<unsigned char>(*position) : 0u;
    std::fprintf(stderr, "Malformed raw profile, expected '\\n' got '\\x%.2X'\n", found);
    return 0;
}

int HexValue(char digit)
{
    if (digit >= '0' && digit <= '9')
        return digit - '0';
    if (digit >= 'a' && digit <= 'f')
        return digit - 'a' + 10;
    if (digit >= 'A' && digit <= 'F')
        return digit - 'A' + 10;
    return -1;
}

// Decodes up to `count` bytes of hexadecimal pairs; stops at the end, or at a pair that is not one.
size_t DecodeHexPairs(const char* position, const char* end, size_t count, uint8_t* out)
{
    size_t decoded = 0;
    while (decoded < count && position < end && *position != '\0') {
        if (*position == '\n') {
            ++position;
            continue;
        }
        if (end - position < 2)
            break;
        const int high = HexValue(position[0]);
        const int low = HexValue(position[1]);
        if (high < 0 || low < 0)
            break;
        out[decoded++] = static_cast<uint8_t>(high * 16 + low);
        position += 2;
    }
    return decoded;
}

} // namespace

int ProcessRawProfile(const char* text, size_t length, CodecBuffer* payload)
{
    if (!text || length == 0 || !payload)
        return 0;
    const char* position = text;
    const char* const end = text + length;
    if (*position != '\n')
        return MalformedAt(position, end);
    ++position;
    while (position < end && *position != '\0' && *position++ != '\n') {
    }
    // The count as image tools write it: blanks before the digits.
    while (position < end && (*position == ' ' || *position == '\t'))
        ++position;
    size_t count = 0;
    const char* const digits = position;
    // Each byte takes two characters, so a count beyond half the text can never be met.
    while (position < end && *position >= '0' && *position <= '9') {
        if (count <= length)
            count = count * 10 + static_cast<size_t>(*position - '0');
        ++position;
    }
    if (position == digits || position >= end || *position != '\n')
        return MalformedAt(position, end);
    ++position;
    if (count == 0 || count > static_cast<size_t>(end - position) / 2)
        return 0;
    try {
        CodecBuffer bytes(count);
        if (DecodeHexPairs(position, end, count, bytes.data()) != count)
            return 0;
        *payload = std::move(bytes);
    } catch (const std::bad_alloc&) {
        return 0;
    }
    return 1;
}
