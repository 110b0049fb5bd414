#include "export/CHMExporter.h"

#include "chm/CHMDocument.h"
#include "chm/CHMWebPage.h"
#include "export/PrintedPageSize.h"
#include "export/PrintedTopic.h"
#include "export/TopicPrintQueue.h"
#include "export/TopicSlot.h"
#include "platform/MainThread.h"
#include "platform/OffscreenWebPage.h"
#include "platform/ProcessMemory.h"

#include <QElapsedTimer>
#include <QThread>
#include <QThreadPool>

#include <algorithm>
#include <utility>

// Several topics in the engine at once. Each view works on its topic alone (load, layout, print,
// the text walk); the printed PDF is then opened and its pages read (blank test, text layout) on a
// pool thread, and the printout goes to the print queue. The queue hands printouts back in
// page-list order, and each is appended when its turn comes, by the same step that appends topic
// after topic. The views and the appending live on the main thread; the engine's renderers and the
// pool do their work side by side.

namespace {

constexpr int kMostAutomaticJobs = 6;
// A printed PDF this large is a topic of dozens of pages.
constexpr qsizetype kLargePrintoutBytes = 1 << 20;
// Printouts that wait for their turn beyond one for each view, only while they are this small
// together: a view whose topic is done takes the next while the topic whose turn it is still has
// its printout read or appended, instead of standing idle; long printouts are not held in numbers.
constexpr qsizetype kMostWaitingBytesAhead = 4 * kLargePrintoutBytes;

std::optional<qint64> rendererResidentBytes(const TopicSlot& slot)
{
    if (!slot.webView)
        return std::nullopt;
    return ResidentBytesOfProcess(slot.webView->page().renderProcessPid());
}

} // namespace

int CHMExporter::automaticJobs()
{
    // One processor stays for this process's own share: the engine's browser side, appending.
    return std::clamp(QThread::idealThreadCount() - 1, 1, kMostAutomaticJobs);
}

void CHMExporter::setJobs(int jobs)
{
    m_jobs = std::max(jobs, 1);
}

void CHMExporter::continueTopicsInFlight()
{
    if (!isExportRunning())
        return;
    if (!m_printQueue) {
        m_printQueue = std::make_unique<TopicPrintQueue>(static_cast<std::size_t>(m_pageList.size()), 2 * m_jobs - 1);
        m_printoutPool = std::make_unique<QThreadPool>();
        m_printoutPool->setMaxThreadCount(m_jobs);
        m_statistics.jobs = m_jobs;
    }
    // A cancel asked for is acted on when the current topic's turn ends: that topic is still
    // printed, but none after it starts meanwhile.
    const bool cancelAsked = m_document.m_isConversionCancelled.load();
    while (!cancelAsked || m_printQueue->started() <= m_curPageId) {
        if (topicsAtWork() >= m_jobs)
            break;
        const bool ahead = m_printQueue->started() - m_printQueue->turn() >= static_cast<std::size_t>(m_jobs);
        if (ahead && m_printQueue->waitingBytes() > kMostWaitingBytesAhead)
            break;
        const RendererLoad load = rendererLoad();
        if (!MayStartTopic(load, m_rendererRetireBytes, m_renderersBudgetBytes)) {
            ++m_statistics.startsHeldForMemory;
            // Beside a long topic, which may print for a while, idle renderers only hold memory.
            // Short topics end soon and take the idle views again: replacing those would cost a
            // renderer's start each.
            if (load.largestAtWorkBytes > m_rendererRetireBytes)
                retireIdleViews();
            break; // the topic that ends next comes back here
        }
        const std::optional<std::size_t> topic = m_printQueue->startNext();
        if (!topic)
            break;
        startTopic(freeSlot(), *topic);
        m_statistics.peakTopicsAtWork = std::max(m_statistics.peakTopicsAtWork, topicsAtWork());
    }
    appendTopicsInTurn();
}

TopicSlot& CHMExporter::freeSlot()
{
    const auto found = std::find_if(m_slots.begin(), m_slots.end(),
                                    [](const std::unique_ptr<TopicSlot>& slot) { return !slot->busy; });
    if (found != m_slots.end())
        return **found;
    // No more topics than there are jobs are at work, so there are never more views than jobs.
    m_slots.push_back(std::make_unique<TopicSlot>());
    return *m_slots.back();
}

void CHMExporter::topicDone(TopicSlot& slot, TopicPrintout printout)
{
    slot.busy = false;
    if (!isExportRunning() || !m_printQueue) {
        if (m_endingExport)
            MainThread::runOnMainLater([this] { releaseWhenTopicsRest(); });
        return;
    }
    // A page that opened a dialog is not navigated away from (the engine could ask whether to
    // leave it, in a dialog nobody answers): its next topic gets a new view.
    if (slot.webView && static_cast<const CHMWebPage&>(slot.webView->page()).hasOpenedDialogs())
        slot.webViewUsable = false;
    const qint64 share = RendererShareBytes(m_rendererRetireBytes, m_renderersBudgetBytes, m_jobs);
    if (slot.webViewUsable && rendererResidentBytes(slot).value_or(0) > share) {
        ++m_statistics.viewsRetiredForMemory;
        // At once, not when the view's next topic starts: that may wait for memory, and the
        // renderer would hold what it grew to all the while.
        retireWebView(slot);
    }
    if (printout.printed.isEmpty()) {
        printoutReady(slot.topic, std::move(printout));
        return;
    }
    preparePrintout(slot.topic, std::move(printout));
    // The view is free for the next topic at once; started from the event loop, so the engine's
    // callback that brought the printout returns first.
    MainThread::runOnMainLater([this] { continueTopicsInFlight(); });
}

void CHMExporter::preparePrintout(std::size_t topic, TopicPrintout printout)
{
    auto work = std::make_shared<TopicPrintout>(std::move(printout));
    const std::weak_ptr<int> wanted = m_printoutsWanted;
    const QSizeF paper = m_printSettings.orientedPaperSize();
    m_printoutPool->start([this, topic, work, wanted, paper] {
        QElapsedTimer timer;
        timer.start();
        work->printed = WithExactPageSize(work->printed, paper);
        std::unique_ptr<PrintedTopic> opened = PrintedTopic::open(work->printed);
        if (opened)
            opened->prepareBlankTests();
        work->openMs = elapsedMs(timer);
        if (opened) {
            timer.start();
            opened->prepareLayouts();
            opened->prepareNamedPlaces();
            work->layoutMs = elapsedMs(timer);
            work->opened = std::move(opened);
        }
        MainThread::runOnMainLater([this, topic, work, wanted] {
            if (wanted.lock())
                printoutReady(topic, std::move(*work));
        });
    });
}

void CHMExporter::printoutReady(std::size_t topic, TopicPrintout printout)
{
    if (!isExportRunning() || !m_printQueue)
        return;
    // Opening counts with the blank test, which it mostly is; reading the layout with the anchors.
    m_statistics.blankMs += printout.openMs;
    m_statistics.anchorsMs += printout.layoutMs;
    m_printQueue->put(topic, std::move(printout));
    m_statistics.peakTopicsWaiting = std::max(m_statistics.peakTopicsWaiting,
                                              static_cast<int>(m_printQueue->peakWaiting()));
    // The appending waits for the event loop, so the callback that brought the printout returns first.
    MainThread::runOnMainLater([this] { continueTopicsInFlight(); });
}

void CHMExporter::appendTopicsInTurn()
{
    // One topic per step: appending it advances the turn through exportToPDF, which comes back
    // here from the event loop for the next one.
    if (!isExportRunning() || !m_printQueue || m_printQueue->turn() != m_curPageId)
        return;
    std::optional<TopicPrintout> printout = m_printQueue->takeTurn();
    if (!printout)
        return;
    const bool large = printout->printed.size() > kLargePrintoutBytes;
    appendTopic(std::move(*printout));
    // A long topic's printout, opened and laid out, took far more than the pages it left behind;
    // the allocator would keep that memory for the rest of the export.
    if (large)
        ReleaseFreedMemory();
}

int CHMExporter::topicsAtWork() const
{
    return static_cast<int>(std::count_if(m_slots.begin(), m_slots.end(),
                                          [](const std::unique_ptr<TopicSlot>& slot) { return slot->busy; }));
}

RendererLoad CHMExporter::rendererLoad() const
{
    std::vector<ViewRenderer> views;
    views.reserve(m_slots.size());
    for (const std::unique_ptr<TopicSlot>& slot : m_slots) {
        ViewRenderer view;
        view.busy = slot->busy;
        view.pid = slot->webView ? slot->webView->page().renderProcessPid() : 0;
        view.residentBytes = ResidentBytesOfProcess(view.pid).value_or(0);
        views.push_back(view);
    }
    return SumRendererLoad(views);
}

void CHMExporter::retireIdleViews()
{
    for (const std::unique_ptr<TopicSlot>& slot : m_slots) {
        if (!slot->busy)
            retireWebView(*slot);
    }
}

void CHMExporter::viewGone()
{
    if (--m_viewsLettingGo > 0)
        return;
    if (std::exchange(m_finishWhenViewsGone, false)) {
        finishExport();
        return;
    }
    if (m_endingExport)
        releaseWhenTopicsRest();
}

void CHMExporter::stopTopicsInFlight()
{
    // The views still at work are let go with the export's other web objects; what they would
    // still hand on is ignored.
    if (m_printQueue)
        m_printQueue->close();
}
