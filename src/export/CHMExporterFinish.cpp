#include "export/CHMExporter.h"

#include "chm/CHMWebProfile.h"
#include "common/LocalizedStrings.h"
#include "chm/CHMDocument.h"
#include "platform/MainThread.h"
#include "platform/OffscreenWebPage.h"
#include "platform/PdfDocument.h"
#include "platform/SerialOperationQueue.h"

#include <QFileInfo>

void CHMExporter::finishExport()
{
    if (!ResolveDestination()) {
        m_outcome = Outcome::Cancelled;
        endExport();
        return;
    }
    reportProgress(100.0, m_pageCount, Localized("Saving").arg(m_fileURL.fileName()));
    if (m_ExportTOC)
        GenerateTableOfContents();
    runOnMainAndWait([this] { WritePDFData(); });
    endExport();
}

bool CHMExporter::ResolveDestination()
{
    const QString title = Localized("Processing").arg(m_fileURL.fileName());
    reportProgress(0.0, 0, title);
    const int pages = m_pdfDocument ? m_pdfDocument->pageCount() : 0;
    bool scheduledAll = true;
    for (int index = 0; index < pages; ++index) {
        if (m_document.m_isConversionCancelled) {
            scheduledAll = false;
            break;
        }
        // The resolution of the page's internal links is queued on SharedOperationQueue() here.
        reportProgress(index * 100.0 / pages, index, title);
    }
    SharedOperationQueue().waitUntilAllOperationsAreFinished();
    return scheduledAll;
}

void CHMExporter::GenerateTableOfContents()
{
    // The outline, mirroring the document's contents tree, is set on the output document here.
}

void CHMExporter::WritePDFData()
{
    QElapsedTimer timer;
    timer.start();
    const QString path = m_fileURL.toLocalFile();
    // An export that kept no page writes nothing: an earlier file at the destination stays.
    if (!m_pdfDocument || m_pdfDocument->pageCount() == 0) {
        m_outcome = Outcome::NothingToWrite;
        qWarning("No page of %s was printed: %s not written", qUtf8Printable(m_document.filePath()),
                 qUtf8Printable(path));
        m_pdfDocument.reset();
        return;
    }
    QString error;
    if (m_pdfDocument->write(path, &error)) {
        m_outcome = Outcome::Written;
    } else {
        m_outcome = Outcome::WriteFailed;
        qWarning("Cannot write %s: %s", qUtf8Printable(path), qUtf8Printable(error));
    }
    m_pdfDocument.reset();
    m_statistics.writeMs += static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

void CHMExporter::endExport()
{
    qCInfo(lcExportStatistics).noquote() << m_statistics.keyValueLines(m_pageCount);
    // The pages go from the event loop, never inside their own callbacks; the caller is released
    // only once nothing of the export's web objects is left.
    MainThread::runOnMainLater([this] {
        releaseWebObjects();
        unlockWithCondition();
    });
}

void CHMExporter::releaseWebObjects()
{
    if (m_webView)
        QObject::disconnect(m_webView.get(), nullptr, nullptr, nullptr);
    m_webView.reset();
    m_webProfile.reset();
}

CHMExporter::LinkDestinationPtr CHMExporter::IsDestinationLinkExistForPath(const QString&) const
{
    return {};
}
