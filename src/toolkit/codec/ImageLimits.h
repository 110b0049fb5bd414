#pragma once

#include <cstdint>

// Decoded images the glue accepts: dimensions and counts come from untrusted headers, so every buffer they
// size is checked first. Above this a hostile header could ask for any allocation it likes.
inline constexpr uint64_t kMaxDecodedImageBytes = uint64_t{1} << 30;

// True when width × height × components bytes are at least one and at most kMaxDecodedImageBytes.
inline bool FitsDecodedImageLimit(uint64_t width, uint64_t height, uint64_t components)
{
    if (width == 0 || height == 0 || components == 0)
        return false;
    if (width > kMaxDecodedImageBytes || height > kMaxDecodedImageBytes || components > kMaxDecodedImageBytes)
        return false;
    // Each factor is at most 2^30, so no product of two overflows; stop before the third can.
    const uint64_t area = width * height;
    return area <= kMaxDecodedImageBytes && area * components <= kMaxDecodedImageBytes;
}
