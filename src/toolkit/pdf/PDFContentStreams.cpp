#include "toolkit/pdf/PDFContentStreams.h"

#include "toolkit/pdf/PDFObjectValues.h"

#include <Object.h>
#include <Page.h>
#include <Stream.h>

#include <algorithm>

namespace {

bool HasImageOnlyFilter(Stream* stream)
{
    for (int depth = 0; stream && depth < 64; ++depth, stream = stream->getNextStream()) {
        switch (stream->getKind()) {
        case strJBIG2:
        case strDCT:
        case strJPX:
        case strCCITTFax:
            return true;
        default:
            break;
        }
    }
    return false;
}

bool AppendContent(const Object& part, QByteArray& bytes, std::int64_t& left)
{
    if (!part.isStream())
        return true;
    if (HasImageOnlyFilter(part.getStream())) {
        left = -1;
        return false;
    }
    const auto read = PDFObjectValues::StreamBytes(*part.getStream(), size_t(std::max<std::int64_t>(left, 0)) + 1);
    left -= std::int64_t(read.size()) + 1;
    if (left < 0)
        return false;
    bytes.append(reinterpret_cast<const char*>(read.data()), qsizetype(read.size()));
    bytes.append('\n');
    return true;
}

} // namespace

std::optional<QByteArray> ReadPDFContentBytes(const Object& contents, std::int64_t& left)
{
    QByteArray bytes;
    if (contents.isArray()) {
        for (int i = 0; i < contents.arrayGetLength(); ++i) {
            if (!AppendContent(contents.arrayGet(i), bytes, left))
                return std::nullopt;
        }
    } else if (!AppendContent(contents, bytes, left)) {
        return std::nullopt;
    }
    return bytes;
}

bool PDFPageContentFits(Page& page, std::int64_t limit)
{
    std::int64_t left = limit;
    return ReadPDFContentBytes(page.getContents(), left).has_value();
}
