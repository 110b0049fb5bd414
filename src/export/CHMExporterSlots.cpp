#include "export/CHMExporter.h"

#include "chm/CHMDocument.h"
#include "chm/CHMWebPage.h"
#include "export/TopicPrintQueue.h"
#include "export/TopicSlot.h"
#include "platform/MainThread.h"
#include "platform/OffscreenWebPage.h"

#include <QThread>

#include <algorithm>

// Several topics in the engine at once. Each view works on its topic alone (load, layout, print,
// the text walk) and hands its printout to the print queue; the queue hands printouts back in
// page-list order, and each is appended when its turn comes, by the same step that appends topic
// after topic. Everything runs on the main thread; the engine's renderers do the work side by side.

namespace {

constexpr int kMostAutomaticJobs = 6;

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
        m_printQueue = std::make_unique<TopicPrintQueue>(static_cast<std::size_t>(m_pageList.size()), m_jobs);
        m_statistics.jobs = m_jobs;
    }
    // A cancel asked for is acted on when the current topic's turn ends; no new topic starts meanwhile.
    while (!m_document.m_isConversionCancelled.load()) {
        const std::optional<std::size_t> topic = m_printQueue->startNext();
        if (!topic)
            break;
        startTopic(freeSlot(), *topic);
    }
    appendTopicsInTurn();
}

TopicSlot& CHMExporter::freeSlot()
{
    const auto found = std::find_if(m_slots.begin(), m_slots.end(),
                                    [](const std::unique_ptr<TopicSlot>& slot) { return !slot->busy; });
    if (found != m_slots.end())
        return **found;
    // The queue starts no more topics than there are jobs, so there are never more views than jobs.
    m_slots.push_back(std::make_unique<TopicSlot>());
    return *m_slots.back();
}

void CHMExporter::topicDone(TopicSlot& slot, TopicPrintout printout)
{
    slot.busy = false;
    if (!isExportRunning() || !m_printQueue)
        return;
    // A page that opened a dialog is not navigated away from (the engine could ask whether to
    // leave it, in a dialog nobody answers): its next topic gets a new view.
    if (slot.webView && static_cast<const CHMWebPage&>(slot.webView->page()).hasOpenedDialogs())
        slot.webViewUsable = false;
    m_printQueue->put(slot.topic, std::move(printout));
    m_statistics.peakTopicsWaiting = std::max(m_statistics.peakTopicsWaiting,
                                              static_cast<int>(m_printQueue->peakWaiting()));
    // This view may take the next topic at once; the appending waits for the event loop, so the
    // engine's callback that brought the printout returns first.
    MainThread::runOnMainLater([this] { continueTopicsInFlight(); });
}

void CHMExporter::appendTopicsInTurn()
{
    // One topic per step: appending it advances the turn through exportToPDF, which comes back
    // here from the event loop for the next one.
    if (!isExportRunning() || !m_printQueue || m_printQueue->turn() != m_curPageId)
        return;
    if (std::optional<TopicPrintout> printout = m_printQueue->takeTurn())
        appendTopic(std::move(*printout));
}

void CHMExporter::stopTopicsInFlight()
{
    // The views still at work are let go with the export's other web objects; what they would
    // still hand on is ignored.
    if (m_printQueue)
        m_printQueue->close();
}
