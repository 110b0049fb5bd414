#pragma once

#include <cstdint>

// No file is trusted for its own size: an image whose decoded samples would pass this many bytes is
// refused before anything is allocated for it.
inline constexpr std::uint64_t kMaxDecodedImageBytes = std::uint64_t{1} << 30;

// Whether width × height pixels of bytesPerPixel bytes are allowed (both sides above 0, no overflow).
inline bool DecodedSizeAllowed(std::int64_t width, std::int64_t height, std::int64_t bytesPerPixel)
{
    if (width <= 0 || height <= 0 || bytesPerPixel <= 0)
        return false;
    const auto w = static_cast<std::uint64_t>(width);
    const auto h = static_cast<std::uint64_t>(height);
    const auto b = static_cast<std::uint64_t>(bytesPerPixel);
    if (w > kMaxDecodedImageBytes || h > kMaxDecodedImageBytes || b > kMaxDecodedImageBytes)
        return false;
    return w * h <= kMaxDecodedImageBytes / b;
}
