#include "platform/PdfDocument.h"

#include "platform/PdfSpilledStreams.h"

void PdfDocument::spillCopiedContents()
{
    if (!m_spilledStreams)
        m_spilledStreams = std::make_unique<PdfSpilledStreams>();
}
