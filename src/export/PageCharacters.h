#pragma once

#include <QPointF>
#include <QRectF>

#include <cstddef>
#include <vector>

class TextOutputDev;
class PDFRectangle;

// The characters of one printed page as a reader of the page counts them: the characters of its
// words in the order the text device lists them, one separator after every word but the last.
// Serves where a text offset could not be located among the words: the offset is then taken as
// a character index of the page.
class PageCharacters {
public:
    PageCharacters() = default;
    // The characters of the page `device` rendered last; cropBox is the box it was rendered in.
    static PageCharacters fromDevice(TextOutputDev& device, const PDFRectangle& cropBox);

    std::size_t numberOfCharacters() const { return m_bounds.size(); }
    // Bounds of character `index` in page space (origin bottom left, y up). Requires index < count.
    QRectF characterBoundsAtIndex(std::size_t index) const { return m_bounds[index]; }
    // The top-left corner of character `index`, or of the nearest character when the index lies
    // beyond the page's; the top-left corner of the page when it has no characters.
    QPointF topLeftOfCharacterNearest(std::size_t index) const;

private:
    std::vector<QRectF> m_bounds;
    QPointF m_pageTopLeft;
};
