#pragma once

#include <QUrl>

// Equality of URLs that treats two spellings of the same local file as equal ("file:///tmp/a.pdf" and
// "file://localhost/tmp/a.pdf").
namespace URLComparision {

// True when both URLs are spelled alike, or when both are file URLs with the same path.
bool isEqualToURL(const QUrl& url, const QUrl& other);

} // namespace URLComparision
