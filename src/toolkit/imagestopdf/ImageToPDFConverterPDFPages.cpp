#include "toolkit/imagestopdf/ImageToPDFConverter.h"

#include "platform/PdfDocument.h"
#include "toolkit/text/TextDocumentFiles.h"
#include "toolkit/text/TextReadLimits.h"

#include <QFileInfo>

bool ImageToPDFConverter::addPDFPages(const QUrl& file, PdfDocument& document)
{
    // Pages are appended: a PDF item goes where the runners put every item, after what is there.
    if (!file.isLocalFile() || QFileInfo(file.toLocalFile()).suffix().compare(QLatin1String("pdf"), Qt::CaseInsensitive) != 0
        || m_insertIndex != document.pageCount())
        return false;
    const auto bytes = TextDocumentFiles::ReadAtMost(file.toLocalFile(), TextReadLimits::kMaxDocumentBytes);
    const std::unique_ptr<PdfDocument> source = bytes ? PdfDocument::open(*bytes) : nullptr;
    if (!source || source->pageCount() == 0)
        return false;
    const int first = document.pageCount();
    for (int index = 0; index < source->pageCount(); ++index) {
        if (!document.appendPageCopy(*source, index))
            return false;
        if (m_angle % 90 == 0 && m_angle != 0)
            document.setPageRotation(document.pageCount() - 1, document.pageRotation(document.pageCount() - 1) + static_cast<int>(m_angle));
    }
    m_insertIndex = document.pageCount();
    return document.pageCount() > first;
}
