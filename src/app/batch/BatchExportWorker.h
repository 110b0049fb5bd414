#pragma once

#include "common/TomefoldConversionOptions.h"
#include "app/batch/BatchExportHost.h"
#include "app/batch/BatchOutcome.h"
#include "app/conversion/ConvertCHMFileToPDF.h"
#include "app/filelist/FileListItem.h"

#include <QString>
#include <QUrl>

#include <atomic>
#include <functional>
#include <set>
#include <vector>

// The body of one batch, run on a thread of its own: converts the batch's items in order into the
// destination folder, a kept folder item into a sub-folder of its name at every level, and reports
// to the window through its host, on the main thread. The batch keeps its own copy of the items and
// the destination, so the list may change meanwhile.
//
// A file that cannot be opened, or gives no PDF, is skipped and the batch goes on; the final alert
// then names it. A cancelled batch ends without an alert.
class BatchExportWorker {
public:
    // The single-file step: converts one CHM file into the destination folder.
    using FileStep = std::function<FileConversionReport(const QUrl& sourceURL, const QUrl& destinationURL,
                                                        const TomefoldConversionOptions& options)>;

    // The cancel flag is the window's: its cancel button sets it from the main thread.
    BatchExportWorker(BatchExportHost& host, std::vector<FileListItem> sourceURLs, QUrl destinationURL,
                      std::atomic<bool>& isConversionCancelled, FileStep fileStep = DefaultFileStep);

    // Runs the whole batch; returns when it has ended and the final alert has been answered.
    void ExportToPDF();

    // After ExportToPDF: what came of the batch.
    bool wroteAnyPDF() const { return m_successStatus; }
    bool skippedAnyFile() const { return m_failStatus; }
    bool wasCancelled() const { return m_wasCancelled; }
    const BatchOutcome& outcome() const { return m_outcome; }

    static FileConversionReport DefaultFileStep(const QUrl& sourceURL, const QUrl& destinationURL,
                                                const TomefoldConversionOptions& options);

private:
    // Real paths of the folders one top-level folder item has opened: a folder reached again,
    // through a symbolic link, is not descended into a second time.
    using OpenedFolders = std::set<QString>;

    void ConvertFilesFromNestedFolders(const std::vector<FileListItem>& items, const QUrl& destinationURL,
                                       const TomefoldConversionOptions& options, OpenedFolders* openedFolders);
    void convertFolderItem(const FileListItem& item, const QUrl& destinationURL,
                           const TomefoldConversionOptions& options, OpenedFolders& openedFolders);
    void convertFileItem(const FileListItem& item, const QUrl& destinationURL,
                         const TomefoldConversionOptions& options);
    void noteResult(const QUrl& sourceURL, const QUrl& destinationURL, const FileConversionReport& report);
    void reportOnMainThread(int status);
    bool isCancelled() const { return m_isConversionCancelled.load(); }

    BatchExportHost& m_host;
    const std::vector<FileListItem> m_sourceURLs;
    const QUrl m_destinationURL;
    std::atomic<bool>& m_isConversionCancelled;
    const FileStep m_fileStep;

    BatchProgress m_progress;
    bool m_successStatus = false;
    bool m_failStatus = false;
    bool m_wasCancelled = false;
    BatchOutcome m_outcome;
};

// The entries of a kept folder as list items, by the folder-keeping rule: a visible sub-folder
// becomes a folder item, a CHM file a file item, anything else is left out.
std::vector<FileListItem> FolderItemContents(const QUrl& folderURL);
