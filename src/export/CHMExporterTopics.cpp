#include "export/CHMExporter.h"

#include "chm/CHMDocument.h"
#include "chm/CHMWebPage.h"
#include "chm/CHMWebProfile.h"
#include "chm/TopicPath.h"
#include "common/LocalizedStrings.h"
#include "common/PrintTimeLimit.h"
#include "export/LinkResolution.h"
#include "export/PrintedTopic.h"
#include "export/TopicPrintQueue.h"
#include "export/TopicPrintScripts.h"
#include "export/TopicSlot.h"
#include "platform/MainThread.h"
#include "platform/OffscreenWebPage.h"
#include "platform/PdfDocument.h"

#include <QFileInfo>
#include <QTimer>
#include <QVariantMap>

#include <algorithm>
#include <cmath>
#include <exception>

namespace {

using namespace std::chrono_literals;

// Frames a script inserted load on their own; the layout waits for them at most this many rounds.
constexpr int kFrameLoadRounds = 100;
constexpr std::chrono::milliseconds kFrameLoadRoundDelay = 50ms;
constexpr std::chrono::milliseconds kLayoutScriptTimeout = 10s;
constexpr double kCssPixelsPerPoint = 96.0 / 72.0;

// What a topic that loaded but cannot be printed hands on.
TopicPrintout Unprintable()
{
    TopicPrintout printout;
    printout.unprintable = true;
    return printout;
}

} // namespace

void CHMExporter::exportToPDF()
{
    if (m_document.m_isConversionCancelled.exchange(false)) {
        m_outcome = Outcome::Cancelled;
        stopTopicsInFlight();
        endExport();
        return;
    }
    const std::size_t count = static_cast<std::size_t>(m_pageList.size());
    if (m_curPageId >= count) {
        finishExport();
        return;
    }
    reportProgress(static_cast<double>(m_curPageId) * 100.0 / static_cast<double>(count), m_pageCount,
                   Localized("Exporting").arg(QFileInfo(m_document.filePath()).fileName()));
    // Started from the event loop, never from inside the engine's callbacks of an earlier topic:
    // free views take the next topics, and the current one is appended once it is printed.
    MainThread::runOnMainLater([this] { continueTopicsInFlight(); });
}

void CHMExporter::initWebView(TopicSlot& slot)
{
    retireWebView(slot);
    if (!m_webProfile)
        m_webProfile = std::make_shared<CHMWebProfile>(m_document);
    auto page = std::make_unique<CHMWebPage>(m_webProfile->profile());
    page->setExportMode(true);
    slot.webView = std::make_shared<OffscreenWebPage>(std::move(page), m_printSettings.printableViewSize());
    slot.webViewUsable = true;
    QObject::connect(slot.webView.get(), &OffscreenWebPage::loadEnded, slot.webView.get(),
                     [this, &slot](bool succeeded) { webViewDidFinishLoad(slot, succeeded); });
}

void CHMExporter::retireWebView(TopicSlot& slot)
{
    if (!slot.webView)
        return;
    QObject::disconnect(slot.webView.get(), nullptr, nullptr, nullptr);
    ++m_viewsLettingGo;
    // Destroyed from the event loop, so this may run inside one of the view's own callbacks; the
    // profile is held until the page is gone, even by an exporter that is gone itself.
    const std::weak_ptr<int> wanted = m_printoutsWanted;
    OffscreenWebPage::letGo(std::move(slot.webView), [this, wanted, profile = m_webProfile] {
        if (wanted.lock())
            viewGone();
    });
}

void CHMExporter::startTopic(TopicSlot& slot, std::size_t topic)
{
    const LinkItemPtr item = m_pageList.at(static_cast<qsizetype>(topic));
    const QUrl url = m_document.composeURL(TopicPath::loadablePath(item->path()));
    slot.busy = true;
    slot.topic = topic;
    slot.topicUrl = url;
    // One view serves topic after topic while they go well, which saves making a page and its
    // renderer for each; a view that failed, or already shows this document (whose reload would
    // be a mere scroll), is replaced.
    if (!slot.webView || !slot.webViewUsable || OffscreenWebPage::sameDocument(slot.webView->page().url(), url))
        initWebView(slot);
    // Started from the event loop, never from inside the engine's callbacks of another topic.
    MainThread::runOnMainLater([this, &slot] { webViewLoadRequestOnMainThread(slot); });
}

void CHMExporter::webViewLoadRequestOnMainThread(TopicSlot& slot)
{
    if (endTopicIfExportEnded(slot))
        return;
    slot.phaseTimer.start();
    if (!slot.topicUrl.isValid() || !slot.webView) {
        webViewDidFinishLoad(slot, false);
        return;
    }
    static_cast<CHMWebPage&>(slot.webView->page()).setTopicUrl(slot.topicUrl);
    slot.webView->load(slot.topicUrl, kTopicLoadTimeout);
}

void CHMExporter::webViewDidFinishLoad(TopicSlot& slot, bool succeeded)
{
    m_statistics.loadMs += elapsedMs(slot.phaseTimer);
    if (endTopicIfExportEnded(slot))
        return;
    // A topic that failed to load, or did not finish in time, shows nothing worth printing.
    if (!succeeded) {
        slot.webViewUsable = false;
        topicDone(slot, {});
        return;
    }
    slot.phaseTimer.start();
    prepareTopicForPrint(slot, 0);
}

void CHMExporter::prepareTopicForPrint(TopicSlot& slot, int attempt)
{
    const double maxHeightPx = kMaximumFrameHeight * kCssPixelsPerPoint;
    slot.webView->runScript(TopicPrintScripts::prepareForPrint(m_printSettings.printableViewSize().width(), maxHeightPx),
                            kLayoutScriptTimeout,
                            [this, &slot, attempt](const std::optional<QVariant>& result) {
                                if (endTopicIfExportEnded(slot))
                                    return;
                                if (!result) {
                                    // The topic's own scripts hold the page: it cannot print either.
                                    slot.webViewUsable = false;
                                    topicDone(slot, Unprintable());
                                    return;
                                }
                                const int pending = result->toMap().value(QStringLiteral("pending")).toInt();
                                if (pending > 0 && attempt < kFrameLoadRounds) {
                                    QTimer::singleShot(kFrameLoadRoundDelay, slot.webView.get(),
                                                       [this, &slot, attempt] { prepareTopicForPrint(slot, attempt + 1); });
                                    return;
                                }
                                m_statistics.layoutMs += elapsedMs(slot.phaseTimer);
                                const double height = result->toMap().value(QStringLiteral("height")).toDouble();
                                printTopic(slot, topicPrintTimeout(height / m_printSettings.printableViewSize().height()));
                            });
}

std::chrono::milliseconds CHMExporter::topicPrintTimeout(double sheets)
{
    // The toolkit's HTML road gives a page the same time.
    return PrintTimeLimit::ForSheets(sheets);
}

void CHMExporter::printTopic(TopicSlot& slot, std::chrono::milliseconds limit)
{
    slot.phaseTimer.start();
    slot.webView->printToPdf(m_printSettings.pageLayout(), limit,
                             [this, &slot](const QByteArray& printed) { topicPrinted(slot, printed); });
}

void CHMExporter::topicPrinted(TopicSlot& slot, const QByteArray& printed)
{
    m_statistics.printMs += elapsedMs(slot.phaseTimer);
    if (endTopicIfExportEnded(slot))
        return;
    if (printed.isEmpty()) {
        slot.webViewUsable = false;
        topicDone(slot, Unprintable());
        return;
    }
    // Read right after the print, before the page's own scripts can change what was printed.
    readTopicText(slot, [this, &slot, printed](TopicText text) {
        TopicPrintout printout;
        printout.printed = printed;
        printout.text = std::move(text);
        topicDone(slot, std::move(printout));
    });
}

bool CHMExporter::endTopicIfExportEnded(TopicSlot& slot)
{
    // After a cancel a topic at work stops at its next step, and prints nothing.
    if (isExportRunning())
        return false;
    topicDone(slot, {});
    return true;
}

void CHMExporter::appendTopic(TopicPrintout printout)
{
    // A topic that loaded but gave no readable print is never passed over in silence.
    if (printout.unprintable || (!printout.printed.isEmpty() && !printout.opened))
        ++m_statistics.unprintedTopics;
    // A topic that was not printed has no pages and no destinations, not even its own.
    if (!printout.printed.isEmpty()) {
        collectAnchors(std::move(printout.text));
        appendPrintedPages(printout.opened);
    }
    finishTopic();
}

void CHMExporter::appendPrintedPages(const std::shared_ptr<PrintedTopic>& topic)
{
    try {
        if (!topic)
            return;
        if (!m_pdfDocument) {
            m_pdfDocument = PdfDocument::create();
            // Every topic's print embeds fresh subsets of its fonts: one program per face is enough.
            m_pdfDocument->shareFontsOfCopiedPages();
            // A large document's links would otherwise hold the most memory of all.
            m_pdfDocument->holdInternalLinks(IsInternalLinkURL);
            // And the pages' content, the rest of what grows with the document, waits on disk.
            m_pdfDocument->spillCopiedContents();
        }
        beginAnchorPlacement(*topic);
        for (int index = 0; index < topic->pageCount(); ++index) {
            m_phaseTimer.start();
            const bool blank = topic->isBlankPage(index);
            m_statistics.blankMs += elapsedMs(m_phaseTimer);
            if (blank)
                continue;
            m_phaseTimer.start();
            const bool copied = m_pdfDocument->appendPageCopy(topic->pages(), index);
            m_statistics.appendMs += elapsedMs(m_phaseTimer);
            // Destinations go only on a page that is in: those of a page that failed to copy
            // would otherwise point at the page after it.
            if (!copied) {
                passOverAnchorsOnPage(*topic, index);
                continue;
            }
            placeAnchorsOnPage(*topic, index);
            ++m_pageCount;
        }
    } catch (const std::exception&) {
        // The rest of this topic is abandoned; the export goes on with the next one.
    }
}

void CHMExporter::finishTopic()
{
    endTopicAnchors();
    ++m_statistics.topics;
    ++m_curPageId;
    exportToPDF();
}
