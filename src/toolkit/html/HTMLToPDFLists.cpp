#include "toolkit/html/HTMLToPDF.h"

#include "common/TemporaryFileNames.h"
#include "common/UniqueFileNames.h"
#include "platform/PdfDocument.h"
#include "toolkit/helpers/PDFFilePages.h"
#include "toolkit/html/PDFReplaceByMove.h"
#include "toolkit/options/ToolkitProgress.h"

#include <QFile>

bool HTMLToPDF::SaveAsPDF()
{
    bool result = true;
    for (const ConversionListItem& item : std::as_const(m_SourceURLs)) {
        if (item.isEmpty())
            continue;
        const QUrl file = ConversionListItemFile(item);
        m_TempDestinationURL = WBQUtil::GetUniqueOutputURL(m_DestinationURL, file, QStringLiteral("pdf"), false);
        ToolkitProgress::Report(m_ProgressCallback, ToolkitProgress::ItemStarted);
        result = SaveAsPDF(file);
        if (!result)
            break;
    }
    return result;
}

bool HTMLToPDF::SaveAsTextToSinglePDF()
{
    const std::unique_ptr<PdfDocument> merged = CreateMergedPDF();
    bool everyFileConverted = true;
    for (const ConversionListItem& item : std::as_const(m_SourceURLs)) {
        if (item.isEmpty())
            continue;
        m_TempDestinationURL = WBQUtil::GetTemporaryURL();
        if (m_TempDestinationURL.isEmpty())
            continue;
        ToolkitProgress::Report(m_ProgressCallback, ToolkitProgress::ItemStarted);
        const bool converted = SaveAsPDF(ConversionListItemFile(item)) && AppendPagesOfPDFFile(m_TempDestinationURL.toLocalFile(), *merged);
        QFile::remove(m_TempDestinationURL.toLocalFile());
        if (!converted) {
            everyFileConverted = false;
            break;
        }
    }
    // A merged PDF without a single page is no result: nothing is written.
    if (merged->pageCount() == 0)
        return false;
    ToolkitProgress::Report(m_ProgressCallback, ToolkitProgress::MergedPDFWriting);
    const bool written = WritePDFByReplaceByMove(*merged, m_DestinationURL, m_PDFDocumentAttributes);
    ToolkitProgress::Report(m_ProgressCallback, ToolkitProgress::MergedPDFWritten);
    return written && everyFileConverted;
}
