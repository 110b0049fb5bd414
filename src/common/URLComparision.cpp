#include "common/URLComparision.h"

namespace URLComparision {

bool isEqualToURL(const QUrl& url, const QUrl& other)
{
    if (url.toString(QUrl::FullyEncoded) == other.toString(QUrl::FullyEncoded))
        return true;
    return url.isLocalFile() && other.isLocalFile() && url.path(QUrl::FullyDecoded) == other.path(QUrl::FullyDecoded);
}

} // namespace URLComparision
