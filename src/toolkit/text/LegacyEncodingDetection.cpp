#include "toolkit/text/LegacyEncodingDetection.h"

#include <uchardet.h>

#include <algorithm>
#include <memory>

namespace LegacyEncodingDetection {

namespace {

// The detector settles within the first few hundred kilobytes of any real text; the rest of a
// large file would only cost time.
constexpr qsizetype kBytesLookedAt = 1 << 20;

struct DetectorDeleter {
    void operator()(uchardet* detector) const { uchardet_delete(detector); }
};

} // namespace

QByteArray Detect(const QByteArray& bytes)
{
    const std::unique_ptr<uchardet, DetectorDeleter> detector(uchardet_new());
    if (!detector)
        return {};
    const auto length = static_cast<size_t>(std::min(bytes.size(), kBytesLookedAt));
    if (uchardet_handle_data(detector.get(), bytes.constData(), length) != 0)
        return {};
    uchardet_data_end(detector.get());
    const char* name = uchardet_get_charset(detector.get());
    return name ? QByteArray(name) : QByteArray();
}

} // namespace LegacyEncodingDetection
