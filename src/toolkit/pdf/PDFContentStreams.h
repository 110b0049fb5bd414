#pragma once

#include <QByteArray>

#include <cstdint>
#include <optional>

class Object;
class Page;

// Content streams read with a bound on what they may cost: a few kilobytes of a hostile file can
// inflate to gigabytes, and a filter meant for images can make the PDF library decode a whole
// picture before the first byte comes out.

// The decoded bytes of a content stream, or of an array of them joined by line ends, taken out of
// left; none once they do not fit (what was read still counts against it) or a stream is encoded
// with a filter only images use (JBIG2, DCT, JPX, CCITT fax), which never holds content.
std::optional<QByteArray> ReadPDFContentBytes(const Object& contents, std::int64_t& left);

// Whether the page's own content streams can be read within limit decoded bytes.
bool PDFPageContentFits(Page& page, std::int64_t limit);

// The decoded bytes one page's content streams may take, forms counted each time they are drawn.
inline constexpr std::int64_t kMaxPDFPageContentBytes = std::int64_t(64) << 20;
