#include "toolkit/imagestopdf/ImageToPDFConverter.h"

#include "common/UniqueFileNames.h"
#include "platform/PdfDocument.h"
#include "toolkit/helpers/PDFFilePages.h"
#include "toolkit/html/PDFReplaceByMove.h"
#include "toolkit/options/ToolkitProgress.h"

#include <memory>

bool ImageToPDFConverter::WriteDocument(const PdfDocument& document, const QUrl& target) const
{
    return !target.isEmpty() && WritePDFByReplaceByMove(document, target, m_pdfWriteOptions);
}

bool ImageToPDFConverter::ConvertToSeparatePDFs()
{
    bool result = true;
    for (const ConversionListItem& item : std::as_const(m_items)) {
        if (item.isEmpty())
            continue;
        const std::unique_ptr<PdfDocument> document = CreateMergedPDF();
        ToolkitProgress::Report(m_listProgress, ToolkitProgress::ItemStarted);
        long long index = 0;
        const QUrl file = ConversionListItemFile(item);
        // An image that fails does not hold up the others, but the run reports it.
        if (AddImageFileToDocument(file, *document, index, item.value(ConversionListKey::Angle))) {
            const QUrl target = WBQUtil::GetUniqueOutputURL(m_destinationURL, file, QStringLiteral("pdf"), false);
            if (!WriteDocument(*document, target))
                result = false;
        } else {
            result = false;
        }
        if (ToolkitProgress::IsCancelled(m_listProgress)) {
            result = false;
            break;
        }
    }
    return result;
}

bool ImageToPDFConverter::ConvertToSinglePDF()
{
    std::unique_ptr<PdfDocument> merged = CreateMergedPDF();
    long long index = 0;
    bool everyItemAdded = true;
    for (const ConversionListItem& item : std::as_const(m_items)) {
        ToolkitProgress::Report(m_listProgress, ToolkitProgress::ItemStarted);
        // A file that adds no page (an empty item too) leaves only its gap: the merged file is
        // still written, and the run reports the gap.
        if (!AddImageFileToDocument(ConversionListItemFile(item), *merged, index, item.value(ConversionListKey::Angle)))
            everyItemAdded = false;
        if (ToolkitProgress::IsCancelled(m_listProgress))
            return false;
    }
    // A merged file without pages would not open as a PDF anywhere: nothing is written.
    if (merged->pageCount() == 0)
        return everyItemAdded;
    ToolkitProgress::Report(m_listProgress, ToolkitProgress::MergedPDFWriting);
    const bool written = WriteDocument(*merged, m_destinationURL);
    merged.reset();
    ToolkitProgress::Report(m_listProgress, ToolkitProgress::MergedPDFWritten);
    return written && everyItemAdded;
}
