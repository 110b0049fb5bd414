#include "toolkit/pdfimages/PDFImageBounds.h"

#include "toolkit/pdfimages/PDFImageStreamData.h"

#include <Object.h>
#include <Dict.h>
#include <Stream.h>

#include <algorithm>
#include <array>
#include <optional>

namespace {

// Big-endian fields of a stream, with a bound on how much of it is read.
class SegmentReader {
public:
    explicit SegmentReader(Stream& stream)
        : m_stream(stream)
    {
    }

    std::optional<std::uint32_t> number(int bytes)
    {
        std::uint32_t value = 0;
        for (int i = 0; i < bytes; ++i) {
            const int byte = next();
            if (byte == EOF)
                return std::nullopt;
            value = (value << 8) | std::uint32_t(byte);
        }
        return value;
    }

    bool skip(std::uint64_t count)
    {
        while (count > 0) {
            const unsigned int step = unsigned(std::min<std::uint64_t>(count, 1U << 20));
            if (!within(step) || m_stream.discardChars(step) != step)
                return false;
            m_read += step;
            count -= step;
        }
        return true;
    }

    int next()
    {
        if (!within(1))
            return EOF;
        const int byte = m_stream.getChar();
        if (byte != EOF)
            ++m_read;
        return byte;
    }

    // Past an immediate region of unknown length: its data ends with a marker and a row count.
    bool skipToEndMarker(bool mmr)
    {
        const int first = mmr ? 0x00 : 0xFF;
        const int second = mmr ? 0x00 : 0xAC;
        int previous = next();
        for (int current = next(); current != EOF; previous = current, current = next()) {
            if (previous == first && current == second)
                return skip(4);
        }
        return false;
    }

private:
    bool within(std::uint64_t count) const { return m_read + count <= kMaxPDFEncodedImageBytes; }

    Stream& m_stream;
    std::uint64_t m_read = 0;
};

constexpr std::uint32_t kPageInformation = 48;
constexpr std::uint32_t kUnknownLength = 0xFFFFFFFF;

// Segments that start with region information (width, height, x, y): text, halftone, generic and
// refinement regions, intermediate or immediate.
bool IsRegion(std::uint32_t type)
{
    constexpr std::array<std::uint32_t, 12> regions{4, 6, 7, 20, 22, 23, 36, 38, 39, 40, 42, 43};
    return std::find(regions.begin(), regions.end(), type) != regions.end();
}

bool AreaFits(std::uint64_t width, std::uint64_t height)
{
    return width * height <= std::uint64_t(kMaxPDFImagePixels);
}

// The page the segments read so far declare; a striped page of unknown height grows with each
// region drawn below its end.
struct JBIG2Page {
    std::uint64_t width = 0;
    bool striped = false;
};

struct SegmentHeader {
    std::uint32_t type = 0;
    std::uint32_t length = 0;
};

// The fields before a segment's data, as the PDF library reads them.
std::optional<SegmentHeader> ReadHeader(SegmentReader& in)
{
    const auto number = in.number(4);
    const auto flags = number ? in.number(1) : std::nullopt;
    const auto retention = flags ? in.number(1) : std::nullopt;
    if (!retention)
        return std::nullopt;
    std::uint32_t referred = *retention >> 5;
    if (referred == 7) {
        const auto more = in.number(3);
        if (!more)
            return std::nullopt;
        referred = ((*retention << 24) | *more) & 0x1FFFFFFF;
        if (!in.skip((std::uint64_t(referred) + 9) / 8))
            return std::nullopt;
    }
    // Referred-to segments are numbered in as many bytes as this segment's own number needs.
    int referenceBytes = 4;
    if (*number <= 256)
        referenceBytes = 1;
    else if (*number <= 65536)
        referenceBytes = 2;
    if (!in.skip(std::uint64_t(referred) * referenceBytes) || !in.skip(*flags & 0x40 ? 4 : 1))
        return std::nullopt;
    const auto length = in.number(4);
    if (!length)
        return std::nullopt;
    return SegmentHeader{*flags & 0x3F, *length};
}

// Reads the sizes the segments declare; false at the first one over the bounds.
bool SegmentsFit(Stream& stream, JBIG2Page& page)
{
    stream.reset();
    SegmentReader in(stream);
    bool fits = true;
    while (fits) {
        const std::optional<SegmentHeader> header = ReadHeader(in);
        if (!header)
            break;
        std::uint32_t used = 0;
        if (header->type == kPageInformation) {
            const auto width = in.number(4);
            const auto height = width ? in.number(4) : std::nullopt;
            if (!height)
                break;
            used = 8;
            page = {*width, *height == kUnknownLength};
            fits = AreaFits(*width, page.striped ? 1 : *height);
        } else if (IsRegion(header->type)) {
            const auto width = in.number(4);
            const auto height = width ? in.number(4) : std::nullopt;
            const auto x = height ? in.number(4) : std::nullopt;
            const auto y = x ? in.number(4) : std::nullopt;
            const auto combination = y ? in.number(1) : std::nullopt;
            const auto regionFlags = combination ? in.number(1) : std::nullopt;
            if (!regionFlags)
                break;
            used = 18;
            fits = AreaFits(*width, *height) && (!page.striped || AreaFits(page.width, std::uint64_t(*y) + *height));
            if (fits && header->length == kUnknownLength && header->type == 38) {
                if (!in.skipToEndMarker((*regionFlags & 1) != 0))
                    break;
                continue;
            }
        }
        if (header->length == kUnknownLength || header->length < used || !in.skip(header->length - used))
            break;
    }
    stream.close();
    return fits;
}

// The global segments the image's JBIG2 filter reads first, found as the PDF library finds them: in
// the parameters of that filter.
Object JBIG2GlobalsOf(Dict& dict)
{
    Object filters = dict.lookup("Filter");
    Object parameters = dict.lookup("DecodeParms");
    if (parameters.isDict())
        return parameters.dictLookup("JBIG2Globals");
    if (!parameters.isArray() || !filters.isArray())
        return Object(objNull);
    for (int i = 0; i < filters.arrayGetLength() && i < parameters.arrayGetLength(); ++i) {
        Object entry = parameters.arrayGet(i);
        if (filters.arrayGet(i).isName("JBIG2Decode") && entry.isDict())
            return entry.dictLookup("JBIG2Globals");
    }
    return Object(objNull);
}

} // namespace

bool PDFImageAreaFits(std::int64_t width, std::int64_t height, int samplesPerPixel, int bitsPerSample)
{
    if (width < 1 || height < 1 || width > kMaxPDFImagePixels / height)
        return false;
    const std::int64_t rowBytes = (width * std::max(samplesPerPixel, 1) * std::max(bitsPerSample, 1) + 7) / 8;
    return rowBytes <= kMaxPDFImageSampleBytes / height;
}

bool JBIG2DeclaredSizesFit(Stream& stream, bool inlineImage)
{
    Stream* filter = &stream;
    for (int depth = 0; filter && depth < 64 && filter->getKind() != strJBIG2; ++depth)
        filter = filter->getNextStream();
    if (!filter || filter->getKind() != strJBIG2)
        return true;
    Stream* data = filter->getNextStream();
    if (inlineImage || !data)
        return false;
    JBIG2Page page;
    Object globals = stream.getDict() ? JBIG2GlobalsOf(*stream.getDict()) : Object(objNull);
    if (globals.isStream() && !SegmentsFit(*globals.getStream(), page))
        return false;
    return SegmentsFit(*data, page);
}
