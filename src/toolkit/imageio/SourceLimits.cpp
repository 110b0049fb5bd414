#include "toolkit/imageio/SourceLimits.h"

#include <QtGlobal>

bool SourceBudget::admit(std::uint64_t decodedBytes)
{
    if (m_exceeded)
        return false;
    if (m_count + 1 > kMaxSourceRepresentations) {
        qWarning("A %s file holds more than %zu images: it is not read", m_format, kMaxSourceRepresentations);
        m_exceeded = true;
    } else if (decodedBytes > kMaxSourceDecodedBytes - m_bytes) {
        qWarning("The images of a %s file decode to more than %llu MiB together: it is not read", m_format,
                 static_cast<unsigned long long>(kMaxSourceDecodedBytes >> 20));
        m_exceeded = true;
    } else {
        ++m_count;
        m_bytes += decodedBytes;
    }
    return !m_exceeded;
}
