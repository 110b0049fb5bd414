#include "toolkit/imagestopdf/ImageToPDFConverter.h"

#include "platform/PdfDocument.h"
#include "toolkit/helpers/PDFPrintPermission.h"
#include "toolkit/text/TextDocumentFiles.h"
#include "toolkit/text/TextReadLimits.h"

#include <QFileInfo>

ImageToPDFConverter::PDFPages ImageToPDFConverter::addPDFPages(const QUrl& file, PdfDocument& document)
{
    // Pages are appended: a PDF item goes where the runners put every item, after what is there.
    if (!file.isLocalFile() || QFileInfo(file.toLocalFile()).suffix().compare(QLatin1String("pdf"), Qt::CaseInsensitive) != 0
        || m_insertIndex != document.pageCount())
        return PDFPages::NotTaken;
    const auto bytes = TextDocumentFiles::ReadAtMost(file.toLocalFile(), TextReadLimits::kMaxDocumentBytes);
    const std::unique_ptr<PdfDocument> source = bytes ? PdfDocument::open(*bytes) : nullptr;
    if (!source || source->pageCount() == 0)
        return PDFPages::NotTaken;
    if (PDFPrintPermission::ForbidsPrinting(*source)) {
        PDFPrintPermission::Warn(file, PDFPrintPermission::LeftOut(), PDFPrintPermission::PrintingForbidden());
        return PDFPages::LeftOut;
    }
    const int first = document.pageCount();
    for (int index = 0; index < source->pageCount(); ++index) {
        if (!document.appendPageCopy(*source, index))
            return PDFPages::NotTaken;
        if (m_angle % 90 == 0 && m_angle != 0)
            document.setPageRotation(document.pageCount() - 1, document.pageRotation(document.pageCount() - 1) + static_cast<int>(m_angle));
    }
    m_insertIndex = document.pageCount();
    return document.pageCount() > first ? PDFPages::Added : PDFPages::NotTaken;
}
