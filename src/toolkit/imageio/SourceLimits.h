#pragma once

#include <QString>

#include <cstddef>
#include <cstdint>

// What one source file may make, all its representations together. Each image of a file is bounded on
// its own by the decoded-size limit; these bound the file: a GIF of thousands of frames on a large
// canvas, or a TIFF of tens of thousands of pages, each small, would otherwise fill the memory or the
// disk one harmless-looking image at a time.
inline constexpr std::uint64_t kMaxSourceDecodedBytes = std::uint64_t{1} << 31;
inline constexpr std::size_t kMaxSourceRepresentations = 4096;

// Counts what a reader has decoded from one file. A file that passes a bound is refused whole, with a
// warning that names the bound: a part of an animation or of a document is not the file.
class SourceBudget {
public:
    explicit SourceBudget(const char* format)
        : m_format(format)
    {}

    // Whether one more image of the given decoded size can be taken; warns once when it cannot.
    bool admit(std::uint64_t decodedBytes);
    // Whether an image of that size would still be admitted; nothing is counted.
    bool wouldAdmit(std::uint64_t decodedBytes) const
    {
        return !m_exceeded && m_count < kMaxSourceRepresentations && decodedBytes <= kMaxSourceDecodedBytes - m_bytes;
    }
    bool exceeded() const { return m_exceeded; }

private:
    const char* m_format;
    std::uint64_t m_bytes = 0;
    std::size_t m_count = 0;
    bool m_exceeded = false;
};
