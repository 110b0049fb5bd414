#pragma once

#include <QPointF>

#include <cstdint>

// One destination of the export: a topic, or a named element inside a topic. Its position in the
// topic's text is known once the topic's DOM has been walked; its output page and point once the
// page holding that text has been appended.
class LinkDestinationItem {
public:
    LinkDestinationItem() = default;
    LinkDestinationItem(std::uint64_t pageIndex, std::uint64_t characterIndex)
        : m_pageID(pageIndex), m_charIndex(characterIndex)
    {
    }

    std::uint64_t pageID() const { return m_pageID; }
    void setPageID(std::uint64_t pageID) { m_pageID = pageID; }
    std::uint64_t charIndex() const { return m_charIndex; }
    void setCharIndex(std::uint64_t charIndex) { m_charIndex = charIndex; }
    void setCharacterIndex(std::uint64_t charIndex) { m_charIndex = charIndex; }

    std::uint64_t pdfPageNo() const { return m_pdfPageNo; }
    void setPdfPageNo(std::uint64_t pageNo) { m_pdfPageNo = pageNo; }
    // Point in PDF page space: origin bottom left, y up.
    // Written on the main thread before link resolution starts, read by it afterwards.
    QPointF destLocation() const { return m_destLocation; }
    void setDestLocation(QPointF location) { m_destLocation = location; }

    // False until the destination was put on an output page. A destination that no page took
    // must not send links and outline entries to the first page of the document.
    bool isPlaced() const { return m_placed; }
    void setPlaced(bool placed) { m_placed = placed; }

private:
    std::uint64_t m_pageID = 0;
    std::uint64_t m_charIndex = 0;
    std::uint64_t m_pdfPageNo = 0;
    QPointF m_destLocation;
    bool m_placed = false;
};
