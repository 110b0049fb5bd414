#include "toolkit/texttopdf/TextToPDFConverter.h"

#include "platform/PdfDocument.h"
#include "toolkit/helpers/BlankPDFPages.h"
#include "toolkit/helpers/PDFFilePages.h"
#include "toolkit/html/PDFReplaceByMove.h"

#include <memory>

bool TextToPDFConverter::writeForMerge(const QByteArray& printed, const QUrl& output) const
{
    // A plain copy for the merging runner, which writes the finished file with the options.
    const std::unique_ptr<PdfDocument> document = PdfDocument::open(printed);
    return document && document->write(output.toLocalFile());
}

bool TextToPDFConverter::writeWithoutBlankPages(const PlainTextPrinting::Printed& printed, const QUrl& output) const
{
    const std::unique_ptr<PdfDocument> document = PdfDocument::open(printed.pdf);
    if (!document)
        return false;
    const QSet<int> blank = AsSet(BlankPageIndexes(printed.pdf, printed.pages));
    const std::unique_ptr<PdfDocument> kept = CreateMergedPDF();
    for (int index = 0; index < document->pageCount(); ++index) {
        if (!blank.contains(index) && !kept->appendPageCopy(*document, index))
            return false;
    }
    // A document with nothing on any page still gives a page: a PDF without pages is no PDF a
    // reader opens.
    if (kept->pageCount() == 0 && (document->pageCount() == 0 || !kept->appendPageCopy(*document, 0)))
        return false;
    if (WritePDFByReplaceByMove(*kept, output, m_pdfWriteOptions))
        return true;
    // The scratch file's road failed; the document may still be written where it belongs.
    return WritePDFDirectly(*kept, output, m_pdfWriteOptions);
}
