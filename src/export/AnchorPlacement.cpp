#include "export/AnchorPlacement.h"

#include "export/AnchorWordTrail.h"
#include "export/PageCharacters.h"
#include "export/PrintedPageLayout.h"
#include "export/pdfcore/TextOffsetLocator.h"

#include <PDFDoc.h>
#include <Page.h>

#include <QByteArray>
#include <QString>

#include <algorithm>
#include <utility>
#include <cstdint>
#include <limits>
#include <string_view>

namespace {

// Words a page may start with that the topic's text does not hold there: a table's header row
// repeated on every page, a list marker. At most this many are passed over.
constexpr std::size_t kMaxLeadingStrayWords = 12;

bool textContinuesWith(std::string_view text, std::int32_t offset, const PDFCore::LocatorWord& word)
{
    PDFCore::skipTextWhitespace(text, offset);
    QString characters;
    for (const Unicode c : word.chars)
        characters += QStringView(QChar::fromUcs4(c));
    const QByteArray bytes = characters.toUtf8();
    return !bytes.isEmpty() && text.substr(static_cast<std::size_t>(offset)).starts_with(bytes.toStdString());
}

// How many words come before the first one the text continues with, when one of the first few
// does: the matching locates a destination it has already reached at the page's first word, which
// should be the first word of the text that goes on there, not a repeated header above it.
std::size_t leadingStrayWords(const std::vector<PDFCore::LocatorWord>& words, std::string_view text, std::int32_t offset)
{
    const std::size_t limit = std::min(words.size(), kMaxLeadingStrayWords + 1);
    for (std::size_t i = 0; i < limit; ++i) {
        if (textContinuesWith(text, offset, words[i]))
            return i;
    }
    return 0;
}

} // namespace

struct AnchorPlacement::PageText {
    PageCharacters characters;
    PDFRectangle cropBox;
};

void AnchorPlacement::setTopic(std::string text, std::vector<PendingDestination> pending)
{
    m_trail.reset();
    m_text = std::move(text);
    m_pending = std::move(pending);
    m_records.clear();
    m_recordOf.clear();
    m_labelled.clear();
    m_next = 0;
}

std::optional<PdfDestination> AnchorPlacement::printedPlaceOf(const PendingDestination& pending) const
{
    if (!m_printedPlaces || pending.printedName.empty())
        return std::nullopt;
    const auto printed = m_printedPlaces->find(pending.printedName);
    return printed != m_printedPlaces->end() ? std::optional<PdfDestination>(printed->second) : std::nullopt;
}

void AnchorPlacement::takePrintedPlaces()
{
    m_printed.clear();
    m_nextPrinted = 0;
    std::vector<PendingDestination> byWords;
    for (PendingDestination& pending : m_pending) {
        if (const std::optional<PdfDestination> printed = printedPlaceOf(pending))
            m_printed.push_back({std::move(pending.item), *printed});
        else if (!pending.boxless)
            byWords.push_back(std::move(pending));
    }
    m_pending = std::move(byWords);
    std::stable_sort(m_printed.begin(), m_printed.end(),
                     [](const PrintedPlace& a, const PrintedPlace& b) { return a.place.pageIndex < b.place.pageIndex; });
}

void AnchorPlacement::placePrintedOnPage(int pageIndex, std::optional<std::uint64_t> outputPageIndex)
{
    for (; m_nextPrinted < m_printed.size() && m_printed[m_nextPrinted].place.pageIndex <= pageIndex; ++m_nextPrinted) {
        const PrintedPlace& printed = m_printed[m_nextPrinted];
        if (outputPageIndex && printed.place.pageIndex == pageIndex)
            place(*printed.item, *outputPageIndex, printed.place.point);
    }
}

void AnchorPlacement::begin()
{
    takePrintedPlaces();
    // One record per word that destinations begin at: the matching locates at most one record per
    // word, so a second record there (a topic and the heading it starts with, two names before one
    // element's text) would land on the word after. A destination begins at the first word after
    // its offset, past the blanks that the matching skips.
    m_records.clear();
    m_recordOf.clear();
    m_labelled.clear();
    const std::string_view text = matchedText();
    for (const PendingDestination& pending : m_pending) {
        auto wordStart = static_cast<std::int32_t>(std::min<std::uint64_t>(pending.wordOffset, text.size()));
        PDFCore::skipTextWhitespace(text, wordStart);
        auto offset = static_cast<std::uint32_t>(wordStart);
        // The matching takes the records in ascending order.
        if (!m_records.empty())
            offset = std::max(offset, m_records.back().charOffset);
        if (m_records.empty() || m_records.back().charOffset != offset) {
            m_records.push_back(TextOffsetRecord{offset, 0.0, 0.0, 0});
            m_labelled.push_back(0);
        }
        m_recordOf.push_back(m_records.size() - 1);
        m_labelled.back() |= pending.labelled ? 1 : 0;
    }
    m_trail.emplace(text, m_records, m_labelled);
    m_characterBase = 0;
    m_next = 0;
    m_lastPage.reset();
}

void AnchorPlacement::clear()
{
    m_trail.reset();
    m_text = std::string();
    m_pending.clear();
    m_records.clear();
    m_recordOf.clear();
    m_labelled.clear();
    m_next = 0;
    m_lastPage.reset();
    m_preparedPages = nullptr;
    m_printedPlaces = nullptr;
    m_printed.clear();
    m_nextPrinted = 0;
}

std::int32_t AnchorPlacement::reached() const
{
    return m_trail ? m_trail->reached() : 0;
}

std::string_view AnchorPlacement::matchedText() const
{
    // Offsets are 32-bit for the matching.
    const std::size_t length = std::min<std::size_t>(m_text.size(), std::numeric_limits<std::int32_t>::max());
    return std::string_view(m_text.data(), length);
}

AnchorPlacement::PageText AnchorPlacement::readPage(PDFDoc& printed, int pageIndex)
{
    // Read beforehand where it could be, on another thread; otherwise now.
    const std::size_t index = static_cast<std::size_t>(std::max(pageIndex, 0));
    const bool prepared = m_preparedPages != nullptr && index < m_preparedPages->size() && (*m_preparedPages)[index];
    const PrintedPageLayout layout = prepared ? *(*m_preparedPages)[index] : PrintedPageLayout::read(printed, pageIndex);
    PageText page;
    page.cropBox = layout.cropBox;
    if (!layout.deviceOk)
        return page;
    m_trail->followPage(layout.words, leadingStrayWords(layout.words, matchedText(), reached()));
    page.characters = layout.characters;
    return page;
}

bool AnchorPlacement::takesOnThisPage(std::size_t pendingIndex, const PageText& page) const
{
    // A located destination belongs to the page whose words located it, even where the page's
    // character count would pass it on.
    if (m_records[m_recordOf[pendingIndex]].found != 0)
        return true;
    const LinkDestinationItem& item = *m_pending[pendingIndex].item;
    // Passed inside the page's words; or reached where a page without words stands (an image
    // at the top of a topic). A word that begins right where this page's words ended is the next
    // page's: the next page's first word locates it.
    const std::uint32_t wordStart = m_records[m_recordOf[pendingIndex]].charOffset;
    const auto followed = static_cast<std::uint32_t>(reached());
    return wordStart < followed || (item.charIndex() <= followed && page.characters.numberOfCharacters() == 0);
}

void AnchorPlacement::placeOnPage(PDFDoc& printed, int pageIndex, std::uint64_t outputPageIndex)
{
    placePrintedOnPage(pageIndex, outputPageIndex);
    takePage(printed, pageIndex, outputPageIndex);
}

void AnchorPlacement::passOverPage(PDFDoc& printed, int pageIndex)
{
    placePrintedOnPage(pageIndex, std::nullopt);
    takePage(printed, pageIndex, std::nullopt);
}

void AnchorPlacement::takePage(PDFDoc& printed, int pageIndex, std::optional<std::uint64_t> outputPageIndex)
{
    if (!hasPending())
        return;
    const PageText page = readPage(printed, pageIndex);
    for (; m_next < m_pending.size(); ++m_next) {
        if (!takesOnThisPage(m_next, page))
            break;
        if (!outputPageIndex)
            continue;
        LinkDestinationItem& item = *m_pending[m_next].item;
        const TextOffsetRecord& record = m_records[m_recordOf[m_next]];
        // Located on the page before (a heading left at its foot): there, when that page is in;
        // the pages of a topic share one size.
        const bool onPageBefore = record.found == AnchorWordTrail::kFoundOnPageBefore && m_lastPage;
        QPointF word;
        if (record.found == 1 || onPageBefore) {
            word = QPointF(page.cropBox.x1 + record.x, page.cropBox.y2 - record.y);
        } else {
            const std::uint64_t index = item.charIndex() > m_characterBase ? item.charIndex() - m_characterBase : 0;
            word = page.characters.topLeftOfCharacterNearest(static_cast<std::size_t>(index));
        }
        place(item, onPageBefore ? m_lastPage->outputPageIndex : *outputPageIndex,
              elementStart(m_pending[m_next], word, page.cropBox));
    }
    m_characterBase += page.characters.numberOfCharacters();
    if (!outputPageIndex) {
        // Names after the text's end would have gone to this page's end, which is not there.
        m_lastPage.reset();
        return;
    }
    const QPointF lastCharacter = page.characters.topLeftOfCharacterNearest(std::numeric_limits<std::size_t>::max());
    m_lastPage = LastPage{*outputPageIndex, lastCharacter};
}

void AnchorPlacement::finish()
{
    // Names after the topic's last word (an empty <a name> closing the page) belong to the end
    // of its last page, once the words were followed to the end of the text; names before text
    // that never printed stay unplaced.
    const std::string_view text = matchedText();
    std::int32_t followed = reached();
    PDFCore::skipTextWhitespace(text, followed);
    if (!m_lastPage || static_cast<std::size_t>(followed) < text.size())
        return;
    for (; m_next < m_pending.size(); ++m_next)
        place(*m_pending[m_next].item, m_lastPage->outputPageIndex, m_lastPage->lastCharacter);
}

QPointF AnchorPlacement::elementStart(const PendingDestination& pending, QPointF word, const PDFRectangle& cropBox) const
{
    const double x = std::max(word.x() - pending.lead.x(), cropBox.x1);
    double y = word.y() + pending.lead.y();
    // The point of a word stands this far above its top; a box reaching more than twice as far
    // above the printed area began before it, yet a link to it must show its text: it begins at
    // the top of the printed area of the page its first text is on, never on the page before
    // (where only its padding or border may stand).
    constexpr double kWordPointRaise = 2.0;
    const double printedTop = cropBox.y2 - m_topMargin;
    if (y > printedTop + 2 * kWordPointRaise)
        y = printedTop + kWordPointRaise;
    return QPointF(x, std::min(y, cropBox.y2));
}

void AnchorPlacement::place(LinkDestinationItem& item, std::uint64_t outputPageIndex, QPointF point)
{
    item.setPdfPageNo(outputPageIndex);
    item.setDestLocation(point);
    item.setPlaced(true);
}
