#include "toolkit/helpers/PDFFilePages.h"

#include "platform/PdfDocument.h"

#include <QFile>

#include <memory>

bool AppendPagesOfPDFFile(const QString& path, PdfDocument& merged)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const std::unique_ptr<PdfDocument> document = PdfDocument::open(file.readAll());
    if (!document)
        return false;
    for (int index = 0; index < document->pageCount(); ++index) {
        if (!merged.appendPageCopy(*document, index))
            return false;
    }
    return true;
}

std::unique_ptr<PdfDocument> CreateMergedPDF()
{
    std::unique_ptr<PdfDocument> document = PdfDocument::create();
    document->keepNamedDestinationsOfCopiedPages();
    return document;
}
