#include "toolkit/texttopdf/TextToPDFConverter.h"

#include "toolkit/entry/NativeFileNames.h"

#include "common/TemporaryFileNames.h"
#include "common/UniqueFileNames.h"
#include "platform/PdfDocument.h"
#include "toolkit/helpers/PDFFilePages.h"
#include "toolkit/html/PDFReplaceByMove.h"
#include "toolkit/options/TextToPDFConversionOptions.h"
#include "toolkit/options/ToolkitProgress.h"

#include <QFile>

#include <memory>

bool TextToPDFConverter::ConvertToSeparatePDFs()
{
    m_mergeMode = false;
    bool everyDocumentConverted = true;
    for (const ConversionListItem& item : std::as_const(m_items)) {
        const QUrl file = ConversionListItemFile(item);
        const QUrl output = WBQUtil::GetUniqueOutputURL(m_destinationURL, file, QStringLiteral("pdf"), false);
        ToolkitProgress::Report(m_progress, ToolkitProgress::ItemStarted);
        // A document that fails does not hold up the others, but the run reports it.
        if (!ConvertTextFileToPDF(file, output))
            everyDocumentConverted = false;
        if (ToolkitProgress::IsCancelled(m_progress))
            return false;
    }
    return everyDocumentConverted;
}

bool TextToPDFConverter::ConvertToSinglePDF()
{
    m_mergeMode = true;
    const std::unique_ptr<PdfDocument> merged = CreateMergedPDF();
    bool everyDocumentConverted = true;
    for (const ConversionListItem& item : std::as_const(m_items)) {
        const QUrl scratch = WBQUtil::GetTemporaryURL();
        if (scratch.isEmpty()) {
            everyDocumentConverted = false;
            continue;
        }
        ToolkitProgress::Report(m_progress, ToolkitProgress::ItemStarted);
        const bool converted =
            ConvertTextFileToPDF(ConversionListItemFile(item), scratch) && AppendPagesOfPDFFile(scratch.toLocalFile(), *merged);
        QFile::remove(scratch.toLocalFile());
        if (!converted)
            everyDocumentConverted = false;
        if (ToolkitProgress::IsCancelled(m_progress))
            return false;
    }
    if (merged->pageCount() == 0)
        return false;
    ToolkitProgress::Report(m_progress, ToolkitProgress::MergedPDFWriting);
    const bool written = WritePDFByReplaceByMove(*merged, m_destinationURL, m_pdfWriteOptions);
    ToolkitProgress::Report(m_progress, ToolkitProgress::MergedPDFWritten);
    return written && everyDocumentConverted;
}

bool ConvertTextToPDF(const TextToPDFConversionOptions* options)
{
    if (!options)
        return false;
    NativeFileNames names;
    TextToPDFConversionOptions named = *options;
    named.items = names.sources(options->items);
    named.destinationURL = options->mergeIntoOne ? names.destinationFile(options->destinationURL)
                                                 : names.destinationFolder(options->destinationURL);
    TextToPDFConverter converter;
    converter.SetOptions(&named);
    converter.SetProgressCallback(options->progress);
    return options->mergeIntoOne ? converter.ConvertToSinglePDF() : converter.ConvertToSeparatePDFs();
}
