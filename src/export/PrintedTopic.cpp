#include "export/PrintedTopic.h"

#include "common/IsBlankPDFPage.h"
#include "export/pdfcore/PDFCoreSettings.h"
#include "platform/PdfDocument.h"

#include <PDFDoc.h>
#include <Stream.h>

#include <algorithm>

namespace {

// A word whose top lies at most this far above a place still counts as printed after it: the
// glyphs of a line may rise a little above the box that holds them.
constexpr double kRiseAboveBox = 4.0;
// A moved place stands this far above the top of the first word it leads to, as the engine's do.
constexpr double kAboveWord = 2.0;

} // namespace

PrintedTopic::PrintedTopic() = default;
PrintedTopic::~PrintedTopic() = default;

std::unique_ptr<PrintedTopic> PrintedTopic::open(const QByteArray& bytes)
{
    PDFCoreSettings::ensureInitialised();
    std::unique_ptr<PrintedTopic> topic(new PrintedTopic);
    topic->m_bytes = bytes;
    topic->m_pages = PdfDocument::open(topic->m_bytes);
    if (!topic->m_pages)
        return nullptr;
    topic->m_textDocument = std::make_unique<PDFDoc>(
        new MemStream(topic->m_bytes.constData(), 0, topic->m_bytes.size(), Object(objNull)));
    if (!topic->m_textDocument->isOk() || topic->m_textDocument->getNumPages() != topic->m_pages->pageCount())
        return nullptr;
    return topic;
}

int PrintedTopic::pageCount() const
{
    return m_pages->pageCount();
}

bool PrintedTopic::isBlankPage(int index) const
{
    if (index >= 0 && static_cast<std::size_t>(index) < m_blank.size())
        return m_blank[static_cast<std::size_t>(index)];
    return IsBlankPDFPage(m_textDocument.get(), index);
}

void PrintedTopic::prepare()
{
    prepareBlankTests();
    prepareLayouts();
    prepareNamedPlaces();
}

void PrintedTopic::prepareBlankTests()
{
    const int pages = pageCount();
    std::vector<bool> blank(static_cast<std::size_t>(pages), false);
    for (int index = 0; index < pages; ++index)
        blank[static_cast<std::size_t>(index)] = IsBlankPDFPage(m_textDocument.get(), index);
    m_blank = std::move(blank);
}

void PrintedTopic::prepareLayouts()
{
    const int pages = pageCount();
    m_layouts.assign(static_cast<std::size_t>(pages), std::nullopt);
    for (int index = 0; index < pages; ++index) {
        if (!isBlankPage(index))
            m_layouts[static_cast<std::size_t>(index)] = PrintedPageLayout::read(*m_textDocument, index);
    }
}

void PrintedTopic::prepareNamedPlaces()
{
    m_namedPlaces.clear();
    for (PdfNamedPlace& named : m_pages->namedPlaces()) {
        const bool kept = !isBlankPage(named.place.pageIndex);
        if (const std::optional<PdfDestination> moved = placeOfTextAfter(named.place)) {
            named.place = *moved;
            m_pages->moveNamedPlace(named.name, named.place);
        } else if (!kept) {
            continue;
        }
        m_namedPlaces.emplace(std::move(named.name), named.place);
    }
}

const PrintedPageLayout* PrintedTopic::layoutOf(int pageIndex) const
{
    const auto index = static_cast<std::size_t>(pageIndex);
    return pageIndex >= 0 && index < m_layouts.size() && m_layouts[index] ? &*m_layouts[index] : nullptr;
}

std::optional<PdfDestination> PrintedTopic::placeOfTextAfter(const PdfDestination& place) const
{
    if (!isBlankPage(place.pageIndex)) {
        const PrintedPageLayout* layout = layoutOf(place.pageIndex);
        if (!layout || !layout->deviceOk)
            return std::nullopt;
        const double top = layout->cropBox.y2 - place.point.y();
        const bool textAfter = std::any_of(layout->words.begin(), layout->words.end(), [top](const PDFCore::LocatorWord& word) {
            return word.yMin >= top - kRiseAboveBox;
        });
        if (textAfter)
            return std::nullopt;
    }
    for (int next = place.pageIndex + 1; next < pageCount(); ++next) {
        if (isBlankPage(next))
            continue;
        const PrintedPageLayout* layout = layoutOf(next);
        if (!layout || !layout->deviceOk || layout->words.empty())
            return PdfDestination{next, QPointF(place.point.x(), m_pages->cropBox(next).bottom())};
        const auto first = std::min_element(layout->words.begin(), layout->words.end(),
                                            [](const auto& a, const auto& b) { return a.yMin < b.yMin; });
        return PdfDestination{next, QPointF(place.point.x(), layout->cropBox.y2 - first->yMin + kAboveWord)};
    }
    return std::nullopt;
}
