#include "platform/PdfDocument.h"

#include "platform/PdfHeldLinks.h"
#include "platform/PdfLinkJumps.h"

#include <exception>

// The links a document holds outside its objects until it is written (see PdfHeldLinks).

void PdfDocument::holdInternalLinks(std::function<bool(const QString& url)> isInternal)
{
    if (!m_heldLinks)
        m_heldLinks = std::make_unique<PdfHeldLinks>(std::move(isInternal));
}

int PdfDocument::heldLinkCount(int pageIndex) const
{
    return m_heldLinks ? m_heldLinks->count(pageIndex) : 0;
}

PdfLinkAnnotation PdfDocument::heldLinkAt(int pageIndex, int index) const
{
    if (!m_heldLinks)
        return {};
    try {
        return m_heldLinks->at(pageIndex, index, *m_linkJumps, *m_qpdf);
    } catch (const std::exception&) {
        return {};
    }
}

bool PdfDocument::setHeldLinkDestination(int pageIndex, int index, const std::optional<PdfDestination>& destination)
{
    if (!m_heldLinks || (destination && destination->pageIndex >= pageCount()))
        return false;
    return m_heldLinks->setDestination(pageIndex, index, destination);
}

qint64 PdfDocument::heldLinkMemoryBytes() const
{
    return m_heldLinks ? m_heldLinks->memoryBytes() : 0;
}
