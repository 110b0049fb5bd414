#pragma once

#include <QString>

#include <cstddef>
#include <cstdint>

// What one picture file may make: its images together, decoded, may take at most kMaxSourceDecodedBytes
// in memory, counted as the readers hold the pixels (width × height × the bytes a pixel takes at its
// depth: 1 for 8-bit grey, 3 for 8-bit RGB, 8 for 16-bit RGBA, and a decoder's own whole-image buffers
// beside them), and there may be at most kMaxSourceRepresentations of them. A single image is held to
// the same bound. Both are weighed on the sizes a file declares, before anything is decoded, so that a
// refusal costs nothing like what the file claims: a GIF of thousands of frames on a large canvas, a TIFF
// of tens of thousands of pages, or one picture of a billion pixels.
inline constexpr std::uint64_t kMaxSourceDecodedBytes = std::uint64_t{1} << 31;
inline constexpr std::size_t kMaxSourceRepresentations = 4096;

// Width × height × bytes a pixel, or more than any bound when a side is beyond what an image can have
// (rows are indexed with int) or the product would overflow.
std::uint64_t DecodedImageBytes(std::uint64_t width, std::uint64_t height, std::uint64_t bytesPerPixel);

// Counts what a reader takes from one file. A file that passes a bound is refused whole, with a warning
// that names the bound: a part of an animation or of a document is not the file.
class SourceBudget {
public:
    explicit SourceBudget(const char* format)
        : m_format(format)
    {}

    // Whether `count` more images of `bytesEach` decoded bytes each can be taken; warns once when not. A
    // count of 0 adds bytes to images already counted.
    bool admit(std::uint64_t bytesEach, std::uint64_t count = 1);
    // The same for one image of the given size and bytes a pixel.
    bool admitImage(std::uint64_t width, std::uint64_t height, std::uint64_t bytesPerPixel)
    {
        return admit(DecodedImageBytes(width, height, bytesPerPixel));
    }
    bool exceeded() const { return m_exceeded; }

private:
    const char* m_format;
    std::uint64_t m_bytes = 0;
    std::uint64_t m_count = 0;
    bool m_exceeded = false;
};

// Whether the one image of a file of the given format may be decoded; warns, naming the bound, when not.
bool FitsSourceBound(const char* format, std::uint64_t width, std::uint64_t height, std::uint64_t bytesPerPixel);
