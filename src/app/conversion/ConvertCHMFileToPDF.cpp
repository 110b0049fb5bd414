#include "app/conversion/ConvertCHMFileToPDF.h"

#include "common/TomefoldConversionOptions.h"
#include "chm/CHMDocument.h"
#include "common/UniqueFileNames.h"
#include "export/PDFExportProvider.h"

#include <QFileInfo>

namespace {

bool SomethingExistsAt(const QUrl& fileURL)
{
    const QFileInfo info(fileURL.toLocalFile());
    return info.exists() || info.isSymLink();
}

} // namespace

bool ConvertCHMFileToPDF(TomefoldConversionOptions* options, bool* pdfWritten, int* unprintedTopics)
{
    if (pdfWritten)
        *pdfWritten = false;
    if (unprintedTopics)
        *unprintedTopics = 0;
    CHMDocument document;
    document.setExportProvider(&PDFExportProvider());
    // The name is chosen before the file is opened; nothing is created there yet.
    const QUrl outputURL = WBQUtil::GetUniqueOutputURL(options->destinationURL, options->sourceURL,
                                                       QStringLiteral("pdf"), false);
    QString error;
    if (!document.readFromURL(options->sourceURL, QStringLiteral("CHM"), &error))
        return false; // skipped without a message: the batch goes on
    // Without a folder to write into (not a local one) the pages would be printed for nothing.
    if (outputURL.isEmpty()) {
        document.close();
        return true;
    }
    // The export tells nobody whether it wrote the file; the name was free before it ran, so a file
    // there now is the one it wrote.
    const bool wasFree = !SomethingExistsAt(outputURL);
    const ExportReport report = document.exportToPDF(outputURL, options);
    document.close();
    if (unprintedTopics)
        *unprintedTopics = report.unprintedTopics;
    if (pdfWritten)
        *pdfWritten = wasFree && QFileInfo(outputURL.toLocalFile()).isFile();
    return true;
}

FileConversionReport ConvertImageFormatFromURL(const QUrl& sourceURL, const QUrl& destinationURL,
                                               TomefoldConversionOptions options)
{
    options.sourceURL = sourceURL;
    options.destinationURL = destinationURL;
    bool written = false;
    int unprinted = 0;
    if (!ConvertCHMFileToPDF(&options, &written, &unprinted))
        return FileConversionResult::NotOpened;
    return {written ? FileConversionResult::PDFWritten : FileConversionResult::OpenedNothingWritten, unprinted};
}
