#include "export/CHMExporter.h"

#include "common/TomefoldConversionOptions.h"
#include "chm/CHMWebProfile.h"
#include "export/TopicPrintQueue.h"
#include "export/TopicSlot.h"
#include "platform/MainThread.h"
#include "platform/OffscreenWebPage.h"
#include "platform/PdfDocument.h"
#include "platform/ProcessMemory.h"
#include "platform/SerialOperationQueue.h"

#include <QEventLoop>

CHMExporter::CHMExporter(CHMDocument& document, const QUrl& fileURL, const LinkItemList& pageList,
                         const TomefoldConversionOptions* options)
    : m_document(document)
    , m_pageList(pageList)
    , m_fileURL(fileURL)
{
    for (const LinkItemPtr& item : m_pageList)
        m_listedPages.insert(pageKey(item->path()));
    if (options != nullptr) {
        m_printSettings = ExportPrintSettings::fromOptions(*options);
        m_ExportHyperlinks = options->exportHyperlinks != 0;
        m_ExportTOC = options->exportTOC != 0;
        // A user who types a title expects to find it in the PDF.
        m_documentInformation.title = options->title.trimmed();
        m_documentInformation.author = options->author.trimmed();
        m_documentInformation.subject = options->subject.trimmed();
        m_documentInformation.keywords = options->keywords.trimmed();
    }
    addHomeTopic();
    addUnlistedTopics();
}

CHMExporter::~CHMExporter()
{
    // Normally released when the export ends; an exporter that never ran still owns nothing
    // the engine could call back into once it is gone.
    if (!m_slots.empty() || m_webProfile)
        runOnMainAndWait([this] { releaseWebObjects(); });
    // What a large export held goes back to the system now, not at the members' end below: the
    // next file of a batch starts from what the application needs, not from this one's peak.
    m_printoutPool.reset();
    m_pdfDocument.reset();
    m_linkDestinationList.clear();
    m_linkDestinationListArray.clear();
    m_linkDestinationListArray.shrink_to_fit();
    m_topicAnchors = AnchorPlacement();
    m_pageList.clear();
    m_listedPages.clear();
    ReleaseFreedMemory();
}

SerialOperationQueue& CHMExporter::SharedOperationQueue()
{
    // Made on first use, kept for the life of the process (a function-local static is made once
    // even when two threads ask at the same moment).
    static SerialOperationQueue* queue = new SerialOperationQueue;
    return *queue;
}

void CHMExporter::initConditionalLock()
{
    m_condLock = std::make_unique<ConditionLock>(0);
}

void CHMExporter::lockWhenCondition()
{
    if (!m_condLock)
        return;
    if (!MainThread::isMainThread()) {
        m_condLock->waitForCondition(1);
        return;
    }
    // The export's steps run on the main thread: keep its event loop turning until they end.
    if (m_condLock->condition() == 1)
        return;
    QEventLoop loop;
    m_wakeWaitingMainThread = [&loop] { loop.quit(); };
    loop.exec();
    m_wakeWaitingMainThread = nullptr;
}

void CHMExporter::unlockWithCondition()
{
    if (!m_condLock)
        return;
    // A caller waiting on another thread may destroy this exporter as soon as the condition is set.
    const std::function<void()> wake = m_wakeWaitingMainThread;
    m_condLock->setCondition(1);
    if (wake)
        wake();
}

void CHMExporter::releaseLock()
{
    m_condLock.reset();
}
