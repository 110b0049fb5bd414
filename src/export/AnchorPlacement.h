#pragma once

#include "export/AnchorWordTrail.h"
#include "export/LinkDestinationItem.h"
#include "export/PrintedNamedPlaces.h"
#include "export/pdfcore/TextOffsetRecord.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class PDFDoc;
class PDFRectangle;
struct PrintedPageLayout;

// Puts one topic's pending destinations on the output pages that its printed pages become.
//
// A destination whose element the engine's print names goes where the print puts it (see
// PrintedTopic::namedPlaces), once that page is placed; one whose element has no box prints
// nothing and stays unplaced. The others (a name the engine does not look up, as on an element
// other than a link) are placed by the words. The printed pages' words are followed, page after page, through the topic's text (see
// AnchorWordTrail); a destination falls on the page of the first word that continues the text at or
// past its offset, at that word (2 points above its top, at its left edge). An offset passed inside
// a page's last word takes the page's character there. A destination that no page takes is left
// unplaced.
class AnchorPlacement {
public:
    using Destination = std::shared_ptr<LinkDestinationItem>;
    struct PendingDestination {
        PendingDestination(Destination destination, std::uint64_t atWord = 0, QPointF leadToWord = QPointF(),
                           bool printsLabel = false, std::string nameInPrint = std::string(), bool hasNoBox = false)
            : item(std::move(destination))
            , wordOffset(atWord)
            , lead(leadToWord)
            , labelled(printsLabel)
            , printedName(std::move(nameInPrint))
            , boxless(hasNoBox)
        {}

        Destination item;
        // Where the word it prints at is sought: its own offset, or, for an element that follows
        // text in its line without text of its own, the start of the word it follows.
        std::uint64_t wordOffset = 0;
        // From where the element begins to that word, in points (right and down): the destination
        // is moved back by it, within the page.
        QPointF lead;
        // The element prints words of its own before its text (see AnchorWordTrail).
        bool labelled = false;
        // The name the print records the element's place under; empty for the topic itself.
        std::string printedName;
        // The element has no box: no page holds it.
        bool boxless = false;
    };

    // The topic's text and its destinations in creation order (ascending offsets).
    void setTopic(std::string text, std::vector<PendingDestination> pending);
    // Where the printed area of a page begins, in points below its top edge.
    void setTopMargin(double points) { m_topMargin = points; }
    // Ready to place on the topic's first printed page.
    void begin();
    // Page pageIndex (from 0) of the printed topic is about to become output page outputPageIndex.
    // Call for every page that will be appended, in order; never for pages left out.
    void placeOnPage(PDFDoc& printed, int pageIndex, std::uint64_t outputPageIndex);
    // Page pageIndex was printed but could not be put into the output: the text is followed past
    // it, and the destinations on it stay unplaced rather than land on another page.
    void passOverPage(PDFDoc& printed, int pageIndex);
    // After the topic's last page: places what its text ran out at.
    void finish();
    // Forgets the topic.
    void clear();
    // The printed pages' layouts, read beforehand (an empty entry is read when its page comes);
    // they must stay until clear().
    void usePreparedPages(const std::vector<std::optional<PrintedPageLayout>>* pages) { m_preparedPages = pages; }
    // Where the print put the named elements; they must stay until clear(). Given before begin().
    void usePrintedPlaces(const PrintedNamedPlaces* places) { m_printedPlaces = places; }

    bool hasPending() const { return m_next < m_pending.size(); }

private:
    struct PageText;
    std::string_view matchedText() const;
    // How far into the text the printed words have been followed.
    std::int32_t reached() const;
    PageText readPage(PDFDoc& printed, int pageIndex);
    bool takesOnThisPage(std::size_t pendingIndex, const PageText& page) const;
    // Places what the page takes on outputPageIndex; with none, passes over it.
    void takePage(PDFDoc& printed, int pageIndex, std::optional<std::uint64_t> outputPageIndex);
    static void place(LinkDestinationItem& item, std::uint64_t outputPageIndex, QPointF point);
    // Where the element of a pending destination begins on the page of its word, from the word's point.
    QPointF elementStart(const PendingDestination& pending, QPointF word, const PDFRectangle& cropBox) const;

    std::optional<PdfDestination> printedPlaceOf(const PendingDestination& pending) const;
    // Sets apart the destinations the print places, and drops those that print nothing.
    void takePrintedPlaces();
    // Places those whose printed page is pageIndex; passes over the pages before it.
    void placePrintedOnPage(int pageIndex, std::optional<std::uint64_t> outputPageIndex);

    struct PrintedPlace {
        Destination item;
        PdfDestination place;
    };

    struct LastPage {
        std::uint64_t outputPageIndex = 0;
        QPointF lastCharacter;
    };

    std::string m_text;
    std::vector<PendingDestination> m_pending;
    std::vector<TextOffsetRecord> m_records;
    std::vector<std::size_t> m_recordOf;    // the record of each pending destination
    std::vector<std::uint8_t> m_labelled;   // per record: one of its destinations prints a label
    std::optional<AnchorWordTrail> m_trail; // over m_text and m_records, from begin() to clear()
    std::uint64_t m_characterBase = 0;
    std::size_t m_next = 0;
    std::optional<LastPage> m_lastPage; // the last page read, where names after all text go
    double m_topMargin = 0.0;
    const std::vector<std::optional<PrintedPageLayout>>* m_preparedPages = nullptr;
    const PrintedNamedPlaces* m_printedPlaces = nullptr;
    std::vector<PrintedPlace> m_printed; // in the order of their pages, from begin()
    std::size_t m_nextPrinted = 0;
};
