#include "toolkit/imageio/SourceLimits.h"

#include <QtGlobal>

#include <limits>

namespace {

constexpr std::uint64_t kTooMuch = std::numeric_limits<std::uint64_t>::max();
constexpr std::uint64_t kMaxSide = std::uint64_t{1} << 28;

} // namespace

std::uint64_t DecodedImageBytes(std::uint64_t width, std::uint64_t height, std::uint64_t bytesPerPixel)
{
    if (width > kMaxSide || height > kMaxSide || bytesPerPixel > kMaxSide)
        return kTooMuch;
    const std::uint64_t area = width * height; // below 2^56
    return bytesPerPixel != 0 && area > kTooMuch / bytesPerPixel ? kTooMuch : area * bytesPerPixel;
}

bool SourceBudget::admit(std::uint64_t bytesEach, std::uint64_t count)
{
    if (m_exceeded)
        return false;
    const std::uint64_t bytes = count == 0 ? bytesEach : bytesEach > kTooMuch / count ? kTooMuch
                                                                                      : bytesEach * count;
    if (count > kMaxSourceRepresentations - m_count) {
        qWarning("A %s file holds more than %zu images, the most a picture file may hold: it is not read", m_format,
                 kMaxSourceRepresentations);
        m_exceeded = true;
    } else if (bytes > kMaxSourceDecodedBytes - m_bytes) {
        qWarning("The images of a %s file would take more than %llu MiB once decoded, the most a picture file may take: "
                 "it is not read",
                 m_format, static_cast<unsigned long long>(kMaxSourceDecodedBytes >> 20));
        m_exceeded = true;
    } else {
        m_count += count;
        m_bytes += bytes;
    }
    return !m_exceeded;
}

bool FitsSourceBound(const char* format, std::uint64_t width, std::uint64_t height, std::uint64_t bytesPerPixel)
{
    if (width == 0 || height == 0)
        return false;
    SourceBudget budget(format);
    return budget.admitImage(width, height, bytesPerPixel);
}
