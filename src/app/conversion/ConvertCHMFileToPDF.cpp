#include "app/conversion/ConvertCHMFileToPDF.h"

#include "common/TomefoldConversionOptions.h"
#include "chm/CHMDocument.h"
#include "common/FolderWritability.h"
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

FileConversionReport ConvertCHMFileToPDF(TomefoldConversionOptions* options)
{
    FileConversionReport report;
    CHMDocument document;
    document.setExportProvider(&PDFExportProvider());
    // The name is chosen before the file is opened; nothing is created there yet.
    const QUrl outputURL = WBQUtil::GetUniqueOutputURL(options->destinationURL, options->sourceURL,
                                                       QStringLiteral("pdf"), false);
    QString error;
    if (!document.readFromURL(options->sourceURL, QStringLiteral("CHM"), &error))
        return report; // skipped without a message: the batch goes on
    report.result = FileConversionResult::OpenedNothingWritten;
    // Nothing is printed for a folder that has gone or turned read-only since the batch began, nor
    // for one that is not a local folder.
    report.writeError = WBQUtil::WhyFolderTakesNoFiles(options->destinationURL.toLocalFile());
    if (!report.writeError.isEmpty() || outputURL.isEmpty()) {
        document.close();
        return report;
    }
    // The export tells nobody whether it wrote the file; the name was free before it ran, so a file
    // there now is the one it wrote.
    const bool wasFree = !SomethingExistsAt(outputURL);
    const ExportReport exported = document.exportToPDF(outputURL, options);
    document.close();
    report.unprintedTopics = exported.unprintedTopics;
    report.topics = exported.topics;
    report.damagedTopics = exported.damagedTopics;
    report.contentsDamaged = exported.contentsDamaged;
    report.writeError = exported.writeError;
    if (wasFree && QFileInfo(outputURL.toLocalFile()).isFile())
        report.result = FileConversionResult::PDFWritten;
    else
        report.noTopicRead = exported.writeError.isEmpty() && exported.damagedTopics >= exported.topics;
    return report;
}

FileConversionReport ConvertImageFormatFromURL(const QUrl& sourceURL, const QUrl& destinationURL,
                                               TomefoldConversionOptions options)
{
    options.sourceURL = sourceURL;
    options.destinationURL = destinationURL;
    return ConvertCHMFileToPDF(&options);
}
