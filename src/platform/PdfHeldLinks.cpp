#include "platform/PdfHeldLinks.h"

#include "platform/PdfLinkObjects.h"
#include "platform/PdfNamedDestinations.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <system_error>

namespace {

using PdfLinkObjects::isLinkAnnotation;
using PdfLinkObjects::uriOf;

// Keys the record holds itself; every other key of a held link is written back as printed.
bool isRecordKey(const std::string& key)
{
    return key == "/Rect" || key == "/A" || key == "/Dest";
}

// An object that can be written as it stands, without naming objects of its document.
bool isSelfContained(QPDFObjectHandle object, int depth = 0)
{
    if (object.isIndirect() || object.isStream() || depth > 8)
        return false;
    if (object.isArray()) {
        for (QPDFObjectHandle item : object.getArrayAsVector()) {
            if (!isSelfContained(item, depth + 1))
                return false;
        }
    }
    if (object.isDictionary()) {
        for (const std::string& key : object.getKeys()) {
            if (!isSelfContained(object.getKey(key), depth + 1))
                return false;
        }
    }
    return true;
}

// The link's keys other than the record's, as PDF text; none when one of them names an object.
std::optional<QByteArray> styleOf(QPDFObjectHandle annotation)
{
    QByteArray style;
    for (const std::string& key : annotation.getKeys()) {
        if (isRecordKey(key))
            continue;
        QPDFObjectHandle value = annotation.getKey(key);
        if (!isSelfContained(value))
            return std::nullopt;
        style += QByteArray::fromStdString(QPDFObjectHandle::newName(key).unparse() + " " + value.unparse() + " ");
    }
    return style;
}

std::optional<std::array<double, 4>> rectangleOf(QPDFObjectHandle annotation)
{
    QPDFObjectHandle rect = annotation.getKey("/Rect");
    if (!rect.isArray() || rect.getArrayNItems() != 4)
        return std::nullopt;
    std::array<double, 4> values{};
    for (int index = 0; index < 4; ++index) {
        QPDFObjectHandle number = rect.getArrayItem(index);
        if (!number.isNumber() || !std::isfinite(number.getNumericValue()))
            return std::nullopt;
        values[static_cast<size_t>(index)] = number.getNumericValue();
    }
    return values;
}

} // namespace

// The number a float stands for when written to eight significant digits, or to six decimals: a
// browser prints its rectangles' floats one way or the other ("41.983376", "641.25",
// "112.288078"), and the record gives back exactly the number the page was printed with.
double PdfHeldLinks::numberOf(float value, bool sixDecimals)
{
    std::array<char, 64> text{};
    const std::to_chars_result written = sixDecimals
                                             ? std::to_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed, 6)
                                             : std::to_chars(text.data(), text.data() + text.size(), value, std::chars_format::general, 8);
    if (written.ec != std::errc())
        return std::numeric_limits<double>::quiet_NaN();
    double number = 0;
    std::from_chars(text.data(), written.ptr, number);
    return number;
}

std::optional<std::uint32_t> PdfHeldLinks::floatsHold(const std::array<double, 4>& rect)
{
    std::uint32_t sixDecimals = 0;
    for (std::size_t at = 0; at < rect.size(); ++at) {
        const double value = rect[at];
        if (std::abs(value) > std::numeric_limits<float>::max())
            return std::nullopt;
        if (numberOf(static_cast<float>(value), false) == value)
            continue;
        if (numberOf(static_cast<float>(value), true) != value)
            return std::nullopt;
        sixDecimals |= 1U << (kSixDecimalsShift + static_cast<int>(at));
    }
    return sixDecimals;
}

PdfHeldLinks::PdfHeldLinks(std::function<bool(const QString& url)> isHeld)
    : m_isHeld(std::move(isHeld))
{
    m_styles.emplace_back(); // index 0: no keys besides the record's
    m_styleIndex.insert(QByteArray(), 0);
}

PdfHeldLinks::Taken::~Taken()
{
    try {
        m_page.replaceKey("/Annots", m_printed);
    } catch (const std::exception&) {
        // The printed document is thrown away after its pages are copied.
    }
}

std::unique_ptr<PdfHeldLinks::Taken> PdfHeldLinks::take(QPDF& source, QPDFObjectHandle sourcePage)
{
    QPDFObjectHandle printed = sourcePage.getKey("/Annots");
    if (!printed.isArray())
        return nullptr;
    auto taken = std::make_unique<Taken>(sourcePage, printed);
    std::vector<QPDFObjectHandle> rest;
    const std::vector<QPDFObjectHandle> annotations = printed.getArrayAsVector();
    for (std::size_t position = 0; position < annotations.size(); ++position) {
        QPDFObjectHandle annotation = annotations[position];
        const QString url = isLinkAnnotation(annotation) ? uriOf(annotation) : QString();
        std::optional<PdfLinkJumps::Jump> jump;
        if (isLinkAnnotation(annotation) && url.isNull())
            jump = PdfLinkJumps::lookUp(source, annotation);
        const bool held = (!url.isNull() && m_isHeld(url)) || jump.has_value();
        const std::optional<std::array<double, 4>> rect = held ? rectangleOf(annotation) : std::nullopt;
        const std::optional<QByteArray> style = rect ? styleOf(annotation) : std::nullopt;
        if (!style) {
            rest.push_back(annotation);
            continue;
        }
        const std::optional<std::uint16_t> styleIndex = internStyle(*style);
        if (!styleIndex || position > kLastPosition) {
            rest.push_back(annotation);
            continue;
        }
        Record record;
        if (const std::optional<std::uint32_t> sixDecimals = floatsHold(*rect)) {
            for (std::size_t at = 0; at < 4; ++at)
                record.rect[at] = static_cast<float>((*rect)[at]);
            record.extra = *sixDecimals;
        } else if (m_exactRects.size() < kExactRect) {
            m_exactRects.push_back(*rect);
            record.extra = static_cast<std::uint32_t>(m_exactRects.size());
        } else {
            rest.push_back(annotation);
            continue;
        }
        if (jump) {
            m_jumps.push_back({*jump, {}});
            record.target = -static_cast<std::int32_t>(m_jumps.size());
        } else {
            record.target = internUrl(url);
        }
        record.style = *styleIndex;
        record.position = static_cast<std::uint16_t>(position);
        taken->m_links.push_back(record);
    }
    if (taken->m_links.empty())
        return nullptr;
    // A page left without annotations carries no list at all: an empty one costs memory on every
    // page of a large document, and the write makes one where held links return.
    if (rest.empty())
        sourcePage.removeKey("/Annots");
    else
        sourcePage.replaceKey("/Annots", QPDFObjectHandle::newArray(rest));
    return taken;
}

void PdfHeldLinks::pageCopied(int outputPage, Taken& taken)
{
    if (outputPage < 0)
        return;
    if (m_cachedPage == outputPage) {
        m_cachedPage = -1;
        m_cachedChanged = false;
    }
    const std::vector<Record>& links = taken.m_links;
    m_pages.setPage(outputPage, QByteArray(reinterpret_cast<const char*>(links.data()),
                                           static_cast<qsizetype>(links.size() * sizeof(Record))));
    taken.m_links.clear();
}

const std::vector<PdfHeldLinks::Record>& PdfHeldLinks::pageRecords(int pageIndex) const
{
    if (pageIndex == m_cachedPage)
        return m_cached;
    if (m_cachedChanged) {
        m_pages.setPage(m_cachedPage, QByteArray(reinterpret_cast<const char*>(m_cached.data()),
                                                 static_cast<qsizetype>(m_cached.size() * sizeof(Record))));
        m_cachedChanged = false;
    }
    const QByteArray bytes = m_pages.page(pageIndex);
    m_cached.resize(static_cast<std::size_t>(bytes.size()) / sizeof(Record));
    if (!m_cached.empty())
        std::memcpy(m_cached.data(), bytes.constData(), m_cached.size() * sizeof(Record));
    m_cachedPage = pageIndex;
    return m_cached;
}

std::vector<PdfHeldLinks::Record>& PdfHeldLinks::changedPageRecords(int pageIndex)
{
    pageRecords(pageIndex);
    m_cachedChanged = true;
    return m_cached;
}

std::int32_t PdfHeldLinks::internUrl(const QString& url)
{
    const auto found = m_urlIndex.constFind(url);
    if (found != m_urlIndex.constEnd())
        return found.value();
    m_urls.push_back({url, {}});
    const auto index = static_cast<std::int32_t>(m_urls.size());
    m_urlIndex.insert(url, index);
    return index;
}

std::optional<std::uint16_t> PdfHeldLinks::internStyle(const QByteArray& style)
{
    const auto found = m_styleIndex.constFind(style);
    if (found != m_styleIndex.constEnd())
        return found.value();
    if (m_styles.size() > std::numeric_limits<std::uint16_t>::max())
        return std::nullopt;
    const auto index = static_cast<std::uint16_t>(m_styles.size());
    m_styles.push_back(style);
    m_styleIndex.insert(style, index);
    return index;
}

const PdfHeldLinks::Record* PdfHeldLinks::record(int pageIndex, int index) const
{
    if (index < 0 || index >= m_pages.count(pageIndex))
        return nullptr;
    const std::vector<Record>& page = pageRecords(pageIndex);
    if (static_cast<std::size_t>(index) >= page.size()) // a page that could not be read back
        return nullptr;
    return &page[static_cast<std::size_t>(index)];
}

PdfHeldLinks::Place& PdfHeldLinks::targetPlace(const Record& link)
{
    if (link.target < 0)
        return m_jumps[static_cast<std::size_t>(-link.target - 1)].place;
    return m_urls[static_cast<std::size_t>(link.target - 1)].place;
}

const PdfHeldLinks::Place& PdfHeldLinks::targetPlace(const Record& link) const
{
    if (link.target < 0)
        return m_jumps[static_cast<std::size_t>(-link.target - 1)].place;
    return m_urls[static_cast<std::size_t>(link.target - 1)].place;
}

PdfHeldLinks::Place PdfHeldLinks::placeOf(int pageIndex, std::size_t index, const Record& link) const
{
    if ((link.extra & kDestinationSet) == 0)
        return {};
    const auto own = m_ownPlaces.find({pageIndex, static_cast<int>(index)});
    if (own != m_ownPlaces.end())
        return own->second;
    return targetPlace(link);
}

std::array<double, 4> PdfHeldLinks::rectangleOfRecord(const Record& link) const
{
    const std::uint32_t exact = link.extra & kExactRect;
    if (exact != 0)
        return m_exactRects[exact - 1];
    std::array<double, 4> rect{};
    for (std::size_t at = 0; at < rect.size(); ++at)
        rect[at] = numberOf(link.rect[at], (link.extra & (1U << (kSixDecimalsShift + static_cast<int>(at)))) != 0);
    return rect;
}

int PdfHeldLinks::count(int pageIndex) const
{
    return m_pages.count(pageIndex);
}

PdfLinkAnnotation PdfHeldLinks::at(int pageIndex, int index, const PdfLinkJumps& jumps, QPDF& output) const
{
    PdfLinkAnnotation link;
    const Record* held = record(pageIndex, index);
    if (held == nullptr)
        return link;
    link.isLink = true;
    if (held->target > 0)
        link.url = m_urls[static_cast<std::size_t>(held->target - 1)].url;
    if (held->target < 0) {
        link.jumpsInDocument = true;
        link.jumpTarget = jumps.targetOf(m_jumps[static_cast<std::size_t>(-held->target - 1)].jump, output);
    }
    return link;
}

bool PdfHeldLinks::setDestination(int pageIndex, int index, const std::optional<PdfDestination>& destination)
{
    const Record* held = record(pageIndex, index);
    if (held == nullptr || (destination && destination->pageIndex < 0))
        return false;
    Record& changed = changedPageRecords(pageIndex)[static_cast<std::size_t>(index)];
    const Place wanted = destination ? Place{destination->pageIndex, static_cast<float>(destination->point.x()),
                                             static_cast<float>(destination->point.y())}
                                     : Place{-1, 0, 0};
    changed.extra |= kDestinationSet;
    Place& shared = targetPlace(changed);
    if (shared.page == kUnset)
        shared = wanted;
    // Only a link set unlike the others of its target costs a place of its own.
    if (wanted == shared)
        m_ownPlaces.erase({pageIndex, index});
    else
        m_ownPlaces[{pageIndex, index}] = wanted;
    return true;
}

bool PdfHeldLinks::hasLinkToWrite(std::size_t pageIndex) const
{
    const std::vector<Record>& links = pageRecords(static_cast<int>(pageIndex));
    for (std::size_t index = 0; index < links.size(); ++index) {
        if (placeOf(static_cast<int>(pageIndex), index, links[index]).page >= 0)
            return true;
    }
    return false;
}

qint64 PdfHeldLinks::memoryBytes() const
{
    qint64 bytes = static_cast<qint64>(m_urls.capacity() * sizeof(Target) + m_styles.capacity() * sizeof(QByteArray)
                                       + m_jumps.capacity() * sizeof(HeldJump)
                                       + m_exactRects.capacity() * sizeof(std::array<double, 4>)
                                       + m_ownPlaces.size() * (sizeof(std::pair<std::pair<int, int>, Place>) + 32));
    for (const Target& target : m_urls)
        bytes += target.url.capacity() * static_cast<qint64>(sizeof(QChar));
    for (const QByteArray& style : m_styles)
        bytes += style.capacity();
    return bytes;
}

bool PdfHeldLinks::hasLinksToWrite() const
{
    for (std::size_t page = 0; page < static_cast<std::size_t>(m_pages.pageCount()); ++page) {
        if (hasLinkToWrite(page))
            return true;
    }
    return false;
}
