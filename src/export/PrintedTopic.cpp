#include "export/PrintedTopic.h"

#include "common/IsBlankPDFPage.h"
#include "export/pdfcore/PDFCoreSettings.h"
#include "platform/PdfDocument.h"

#include <PDFDoc.h>
#include <Stream.h>

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
    return IsBlankPDFPage(m_textDocument.get(), index);
}
