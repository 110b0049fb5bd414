#include "app/batch/BatchExportWorker.h"

#include "app/batch/DestinationSubfolder.h"
#include "app/filelist/FileListAddition.h"
#include "app/filelist/FolderListing.h"
#include "common/LocalizedStrings.h"
#include "platform/MainThread.h"

#include <QDir>
#include <QFileInfo>

namespace {

// The file's name with the reason it gave no PDF.
QString NotConvertedLine(const QString& name, const FileConversionReport& report)
{
    if (report.result == FileConversionResult::NotOpened)
        return Localized("NotOpenedReason").arg(name);
    if (report.noTopicRead)
        return Localized("NoTopicReadReason").arg(name);
    if (!report.writeError.isEmpty())
        return Localized("NotWrittenCauseReason").arg(name, report.writeError);
    return Localized("NotWrittenReason").arg(name);
}

} // namespace

BatchExportWorker::BatchExportWorker(BatchExportHost& host, std::vector<FileListItem> sourceURLs,
                                     QUrl destinationURL, std::atomic<bool>& isConversionCancelled,
                                     FileStep fileStep)
    : m_host(host)
    , m_sourceURLs(std::move(sourceURLs))
    , m_destinationURL(std::move(destinationURL))
    , m_isConversionCancelled(isConversionCancelled)
    , m_fileStep(std::move(fileStep))
{
}

FileConversionReport BatchExportWorker::DefaultFileStep(const QUrl& sourceURL, const QUrl& destinationURL,
                                                        const TomefoldConversionOptions& options)
{
    return ConvertImageFormatFromURL(sourceURL, destinationURL, options);
}

void BatchExportWorker::ExportToPDF()
{
    m_isConversionCancelled = false;
    runOnMainAndWait([this] { m_host.SetEnableDisableControlWhileConversion(kBatchStarted); });

    m_progress = {};
    const bool singleFile = m_sourceURLs.size() == 1 && !m_sourceURLs.front().IsDir;
    if (singleFile)
        m_progress = {1, 1};

    TomefoldConversionOptions options;
    runOnMainAndWait([this, &options] {
        m_host.GetConversionSettings(&options);
        m_host.BeginProgressSheet();
        m_host.ChangeProgressStatus(kBatchStarted, m_progress);
    });

    if (singleFile)
        noteResult(m_sourceURLs.front().FilePath, m_destinationURL,
                   m_fileStep(m_sourceURLs.front().FilePath, m_destinationURL, options));
    else
        ConvertFilesFromNestedFolders(m_sourceURLs, m_destinationURL, options, nullptr);

    runOnMainAndWait([this] {
        m_host.ChangeProgressStatus(kBatchEnded, m_progress);
        m_host.EndProgressSheet();
        m_wasCancelled = isCancelled();
        m_host.forgetBatch();
        m_host.SetEnableDisableControlWhileConversion(kBatchEnded);
    });

    // A partial or failed batch is told as such: saying nothing would pass a failure off as
    // nothing at all, and a success alert would hide the files that gave no PDF.
    if (!m_wasCancelled)
        runOnMainAndWait([this] { m_host.AlertOnSuccessConversion(m_destinationURL, m_outcome); });
}

void BatchExportWorker::ConvertFilesFromNestedFolders(const std::vector<FileListItem>& items,
                                                      const QUrl& destinationURL,
                                                      const TomefoldConversionOptions& options,
                                                      OpenedFolders* openedFolders)
{
    const auto count = static_cast<qint64>(items.size());
    m_progress.numOfFilesForConversion += count;
    runOnMainAndWait([this, count] { m_host.raiseFileBarMaximum(count); });

    for (const FileListItem& item : items) {
        if (isCancelled())
            return;
        if (!item.IsDir) {
            convertFileItem(item, destinationURL, options);
        } else if (openedFolders) {
            convertFolderItem(item, destinationURL, options, *openedFolders);
        } else {
            OpenedFolders walk; // each top-level folder item walks on its own
            convertFolderItem(item, destinationURL, options, walk);
        }
    }
}

void BatchExportWorker::convertFolderItem(const FileListItem& item, const QUrl& destinationURL,
                                          const TomefoldConversionOptions& options,
                                          OpenedFolders& openedFolders)
{
    const QString realPath = QFileInfo(item.FilePath.toLocalFile()).canonicalFilePath();
    if (realPath.isEmpty() || !openedFolders.insert(realPath).second)
        return;
    const std::vector<FileListItem> contents = FolderItemContents(item.FilePath);
    if (contents.empty())
        return;
    // The folder stands for its contents in the total from now on.
    --m_progress.numOfFilesForConversion;
    reportOnMainThread(kBatchItemStarted);
    QUrl subfolderURL = item.FilePath;
    if (GetDestinationDirURLFor(&subfolderURL, destinationURL) == 0)
        ConvertFilesFromNestedFolders(contents, subfolderURL, options, &openedFolders);
}

void BatchExportWorker::convertFileItem(const FileListItem& item, const QUrl& destinationURL,
                                        const TomefoldConversionOptions& options)
{
    ++m_progress.fileProcessingIndex;
    reportOnMainThread(kBatchItemStarted);
    noteResult(item.FilePath, destinationURL, m_fileStep(item.FilePath, destinationURL, options));
}

void BatchExportWorker::noteResult(const QUrl& sourceURL, const QUrl& destinationURL, const FileConversionReport& report)
{
    const FileConversionResult result = report.result;
    // Named by where its PDF would have gone, so that files of the same name in different
    // folders can be told apart.
    const QString folder = QDir(m_destinationURL.toLocalFile()).relativeFilePath(destinationURL.toLocalFile());
    const QString name = folder == QStringLiteral(".") ? sourceURL.fileName()
                                                       : folder + QLatin1Char('/') + sourceURL.fileName();
    if (result == FileConversionResult::PDFWritten) {
        m_successStatus = true;
        ++m_outcome.converted;
        if (report.damagedTopics > 0 || report.contentsDamaged)
            m_outcome.damagedFiles.push_back({name, report.damagedTopics, report.topics, report.contentsDamaged});
        if (report.unprintedTopics > 0)
            m_outcome.missingTopics.push_back({name, report.unprintedTopics});
        return;
    }
    if (result == FileConversionResult::NotOpened)
        m_failStatus = true;
    m_outcome.notConverted << NotConvertedLine(name, report);
}

void BatchExportWorker::reportOnMainThread(int status)
{
    const BatchProgress progress = m_progress;
    runOnMainAndWait([this, status, progress] { m_host.ChangeProgressStatus(status, progress); });
}

std::vector<FileListItem> FolderItemContents(const QUrl& folderURL)
{
    PendingFileListItems contents;
    qint64 index = 0;
    AddUrlsObjIntoArray(contents, ListFolderEntries(folderURL), true, false, index);
    return contents.items;
}
