#pragma once

#include "export/PrintedNamedPlaces.h"
#include "export/PrintedPageLayout.h"

#include <QByteArray>

#include <memory>
#include <optional>
#include <vector>

class PDFDoc;
class PdfDocument;

// One topic as printed: the PDF bytes, opened once for copying pages and once for reading what
// the pages show (blank test, text layout). Lives for one topic's step only.
//
// Opening and preparing touch nothing but this object, so they may run on any thread; the object
// is then handed over to the thread that appends its pages.
class PrintedTopic {
public:
    ~PrintedTopic();
    PrintedTopic(const PrintedTopic&) = delete;
    PrintedTopic& operator=(const PrintedTopic&) = delete;

    // Null when the bytes are not a PDF both readers can open.
    static std::unique_ptr<PrintedTopic> open(const QByteArray& bytes);

    int pageCount() const;
    bool isBlankPage(int index) const;
    // Ahead of appending: tests every page for blankness, then reads the text layout of the
    // others. prepare() does both.
    void prepare();
    void prepareBlankTests();
    void prepareLayouts();
    // Reads where the engine put the topic's named elements (see PrintedNamedPlaces), after the
    // blank tests and layouts: a place on a page left out, or below every word of its page (an
    // empty element, a box's padding at the foot of a page whose text goes on to the next), is
    // moved to the top of the next page that is kept, where its text begins, also for the links of
    // the topic's own pages that lead there. prepare() does this too.
    void prepareNamedPlaces();
    const PrintedNamedPlaces& namedPlaces() const { return m_namedPlaces; }
    // The layouts read by prepare(), an empty entry for each blank page; empty before prepare().
    const std::vector<std::optional<PrintedPageLayout>>& preparedLayouts() const { return m_layouts; }
    const PdfDocument& pages() const { return *m_pages; }
    PDFDoc& textDocument() const { return *m_textDocument; }

private:
    PrintedTopic();

    QByteArray m_bytes;
    std::unique_ptr<PdfDocument> m_pages;
    std::unique_ptr<PDFDoc> m_textDocument; // reads m_bytes in place
    std::vector<bool> m_blank;              // by prepare()
    std::vector<std::optional<PrintedPageLayout>> m_layouts;
    PrintedNamedPlaces m_namedPlaces; // by prepareNamedPlaces()

    // Where a place on pageIndex that precedes everything its page prints belongs; none when it
    // stays (or, on a page left out, when no later page is kept).
    std::optional<PdfDestination> placeOfTextAfter(const PdfDestination& place) const;
    const PrintedPageLayout* layoutOf(int pageIndex) const;
};
