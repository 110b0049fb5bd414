#include "export/PageCharacters.h"

#include <Page.h>
#include <TextOutputDev.h>

#include <algorithm>
#include <memory>

namespace {

// Device space (origin at the box's top-left corner, y down) to page space.
QRectF toPageSpace(const PDFRectangle& cropBox, double xMin, double yMin, double xMax, double yMax)
{
    return QRectF(cropBox.x1 + xMin, cropBox.y2 - yMax, xMax - xMin, yMax - yMin);
}

} // namespace

PageCharacters PageCharacters::fromDevice(TextOutputDev& device, const PDFRectangle& cropBox)
{
    PageCharacters characters;
    characters.m_pageTopLeft = QPointF(cropBox.x1, cropBox.y2);
    const std::unique_ptr<TextWordList> words = device.makeWordList();
    const int wordCount = words ? words->getLength() : 0;
    for (int w = 0; w < wordCount; ++w) {
        const TextWord* word = words->get(w);
        double xMin = 0, yMin = 0, xMax = 0, yMax = 0;
        for (int c = 0; c < word->getLength(); ++c) {
            word->getCharBBox(c, &xMin, &yMin, &xMax, &yMax);
            characters.m_bounds.push_back(toPageSpace(cropBox, xMin, yMin, xMax, yMax));
        }
        if (w + 1 < wordCount && word->getLength() > 0) {
            // The separator sits, without width, where the word ends.
            characters.m_bounds.push_back(toPageSpace(cropBox, xMax, yMin, xMax, yMax));
        }
    }
    return characters;
}

QPointF PageCharacters::topLeftOfCharacterNearest(std::size_t index) const
{
    if (m_bounds.empty())
        return m_pageTopLeft;
    const QRectF bounds = m_bounds[std::min(index, m_bounds.size() - 1)];
    return QPointF(bounds.x(), bounds.y() + bounds.height());
}
