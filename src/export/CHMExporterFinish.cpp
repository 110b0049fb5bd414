#include "export/CHMExporter.h"

#include "chm/CHMDocument.h"
#include "chm/CHMTableOfContent.h"
#include "chm/CHMWebProfile.h"
#include "common/LocalizedStrings.h"
#include "export/LinkResolution.h"
#include "export/Outline.h"
#include "export/TopicPrintQueue.h"
#include "export/TopicSlot.h"
#include "platform/MainThread.h"
#include "platform/OffscreenWebPage.h"
#include "platform/PdfDocument.h"
#include "platform/SerialOperationQueue.h"

#include <algorithm>
#include <utility>

void CHMExporter::finishExport()
{
    // Every topic is printed: the views and their renderers would only hold memory while the links
    // are resolved and the document is written, when this process needs the most of its own. The
    // last of them to go calls this again.
    runOnMainAndWait([this] { retireIdleViews(); });
    if (m_viewsLettingGo > 0) {
        m_finishWhenViewsGone = true;
        return;
    }
    if (!ResolveDestination()) {
        m_outcome = Outcome::Cancelled;
        endExport();
        return;
    }
    const QString saving = Localized("Saving").arg(m_fileURL.fileName());
    m_lastProgress.title = saving;
    ++m_lastProgress.reports;
    runOnMainAndWait([this, &saving] {
        m_document.SetProgressFileNameString(saving);
        m_document.StartProgressIndicatorToIndeterminate();
    });
    if (m_ExportTOC)
        GenerateTableOfContents();
    runOnMainAndWait([this] {
        WritePDFData();
        m_document.EndProgressIndicatorToIndeterminate();
    });
    endExport();
}

bool CHMExporter::ResolveDestination()
{
    const QString title = Localized("Processing").arg(m_fileURL.fileName());
    reportProgress(0.0, 0, title);
    QElapsedTimer timer;
    timer.start();
    const int pages = m_pdfDocument ? m_pdfDocument->pageCount() : 0;
    bool scheduledAll = true;
    for (int index = 0; index < pages; ++index) {
        if (m_document.m_isConversionCancelled.exchange(false)) {
            scheduledAll = false;
            break;
        }
        // The output document is touched by the queue alone until the wait below has ended.
        SharedOperationQueue().addOperation([this, index] { ResolveDestination(index); });
        reportProgress(index * 100.0 / pages, index, title);
    }
    SharedOperationQueue().waitUntilAllOperationsAreFinished();
    m_statistics.linksMs += elapsedMs(timer);
    return scheduledAll;
}

void CHMExporter::ResolveDestination(int pageIndex)
{
    // Also without any destination: an internal link left as printed would send a viewer to
    // an "itss:" address that only this application can serve.
    const DestinationLookup lookup = [this](const QString& url) { return placedDestinationForPath(url); };
    ResolvePageLinks(*m_pdfDocument, pageIndex, m_ExportHyperlinks, lookup);
    ResolveHeldPageLinks(*m_pdfDocument, pageIndex, m_ExportHyperlinks, lookup);
}

void CHMExporter::GenerateTableOfContents()
{
    QElapsedTimer timer;
    timer.start();
    const CHMTableOfContent* toc = m_document.tocSource();
    if (m_pdfDocument && toc != nullptr && toc->rootItems()) {
        m_pdfDocument->setOutlineRoot(OutlineForContents(
            *toc->rootItems(), [this](const QString& url) { return placedDestinationForPath(url); }));
    }
    m_statistics.outlineMs += elapsedMs(timer);
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
    // Written beside the target and renamed into place: a failed write leaves an earlier file whole.
    m_pdfDocument->setDocumentInformation(m_documentInformation);
    QString error;
    if (m_pdfDocument->write(path, &error)) {
        m_outcome = Outcome::Written;
    } else {
        m_outcome = Outcome::WriteFailed;
        m_writeError = error;
        qWarning("Cannot write %s: %s", qUtf8Printable(path), qUtf8Printable(error));
    }
    m_pdfDocument.reset();
    m_statistics.writeMs += elapsedMs(timer);
}

void CHMExporter::endExport()
{
    qCInfo(lcExportStatistics).noquote() << m_statistics.keyValueLines(m_pageCount);
    runOnMainAndWait([this] { m_document.endExportProgressSheet(); });
    // The pages go from the event loop, never inside their own callbacks; the caller is released
    // only once nothing of the export's web objects is left.
    m_endingExport = true;
    MainThread::runOnMainLater([this] { releaseWhenTopicsRest(); });
}

void CHMExporter::releaseWhenTopicsRest()
{
    // A page deleted in the middle of its print brings the engine down when its profile follows
    // it: after a cancel the topics still at work are let go only once each has ended its current
    // step, and the last of them comes back here.
    const bool topicAtWork = std::any_of(m_slots.begin(), m_slots.end(),
                                         [](const std::unique_ptr<TopicSlot>& slot) { return slot->busy; });
    if (!m_endingExport || topicAtWork)
        return;
    // The views go first, each a moment after it is hidden; the last comes back here.
    retireIdleViews();
    if (m_viewsLettingGo > 0)
        return;
    m_endingExport = false;
    releaseWebObjects();
    if (m_condLock) {
        unlockWithCondition();
        return;
    }
    // Reader road: nobody waits; the alert, then the owner may let the exporter go.
    if (m_outcome == Outcome::Written && m_exportEnded)
        AlertOnSuccessConversion();
    if (const std::function<void()> ended = std::exchange(m_exportEnded, nullptr))
        ended();
}

void CHMExporter::releaseWebObjects()
{
    // Views left here (an exporter that goes before its export ended) hold the profile until they
    // are gone, and tell nobody.
    for (const std::unique_ptr<TopicSlot>& slot : m_slots)
        retireWebView(*slot);
    m_slots.clear();
    // Printouts still being read, and views still going, are dropped when they come back.
    m_printoutsWanted.reset();
    m_printQueue.reset();
    m_webProfile.reset();
}

std::optional<PdfDestination> CHMExporter::placedDestinationForPath(const QString& urlString) const
{
    // An anchor that no page took falls back to the top of its topic, like an unknown anchor.
    for (const QString& key : DestinationKeysForURL(urlString)) {
        const LinkDestinationPtr item = m_linkDestinationList.value(key);
        if (item && item->isPlaced())
            return PdfDestination{static_cast<int>(item->pdfPageNo()), item->destLocation()};
    }
    return std::nullopt;
}
