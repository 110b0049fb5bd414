#include "export/CHMExporter.h"

#include "chm/CHMDocument.h"
#include "chm/CHMWebPage.h"
#include "chm/CHMWebProfile.h"
#include "chm/TopicPath.h"
#include "common/LocalizedStrings.h"
#include "export/PrintedTopic.h"
#include "export/TopicPrintScripts.h"
#include "platform/MainThread.h"
#include "platform/OffscreenWebPage.h"
#include "platform/PdfDocument.h"

#include <QFileInfo>
#include <QTimer>
#include <QVariantMap>

#include <exception>

namespace {

using namespace std::chrono_literals;

// Frames a script inserted load on their own; the layout waits for them at most this many rounds.
constexpr int kFrameLoadRounds = 100;
constexpr std::chrono::milliseconds kFrameLoadRoundDelay = 50ms;
constexpr std::chrono::milliseconds kLayoutScriptTimeout = 10s;
constexpr double kCssPixelsPerPoint = 96.0 / 72.0;

} // namespace

void CHMExporter::exportToPDF()
{
    if (m_document.m_isConversionCancelled.exchange(false)) {
        m_outcome = Outcome::Cancelled;
        endExport();
        return;
    }
    const std::size_t count = static_cast<std::size_t>(m_pageList.size());
    if (m_curPageId >= count) {
        finishExport();
        return;
    }
    const LinkItemPtr item = m_pageList.at(static_cast<qsizetype>(m_curPageId));
    const QUrl url = m_document.composeURL(TopicPath::loadablePath(item->path()));
    reportProgress(static_cast<double>(m_curPageId) * 100.0 / static_cast<double>(count), m_pageCount,
                   Localized("Exporting").arg(QFileInfo(m_document.filePath()).fileName()));
    runOnMainAndWait([this, url] {
        // One view serves topic after topic while they go well, which saves making a page and
        // its renderer for each; a view that failed, or already shows this document (whose
        // reload would be a mere scroll), is replaced.
        if (!m_webView || !m_webViewUsable || OffscreenWebPage::sameDocument(m_webView->page().url(), url))
            initWebView();
    });
    // Started from the event loop, never from inside the engine's callbacks of the previous topic.
    MainThread::runOnMainLater([this, url] { webViewLoadRequestOnMainThread(url); });
}

void CHMExporter::initWebView()
{
    retireWebView();
    if (!m_webProfile)
        m_webProfile = std::make_unique<CHMWebProfile>(m_document);
    auto page = std::make_unique<CHMWebPage>(m_webProfile->profile());
    page->setExportMode(true);
    m_webView = std::make_shared<OffscreenWebPage>(std::move(page), m_printSettings.printableViewSize());
    m_webViewUsable = true;
    QObject::connect(m_webView.get(), &OffscreenWebPage::loadEnded, m_webView.get(),
                     [this](bool succeeded) { webViewDidFinishLoad(succeeded); });
}

void CHMExporter::retireWebView()
{
    if (!m_webView)
        return;
    QObject::disconnect(m_webView.get(), nullptr, nullptr, nullptr);
    // Deleted from the event loop: this may run inside one of the view's own callbacks.
    MainThread::runOnMainLater([retired = std::move(m_webView)] {});
}

void CHMExporter::webViewLoadRequestOnMainThread(const QUrl& url)
{
    m_phaseTimer.start();
    m_topicUrl = url;
    if (!url.isValid() || !m_webView) {
        webViewDidFinishLoad(false);
        return;
    }
    static_cast<CHMWebPage&>(m_webView->page()).setTopicUrl(url);
    m_webView->load(url, kTopicLoadTimeout);
}

void CHMExporter::webViewDidFinishLoad(bool succeeded)
{
    m_statistics.loadMs += elapsedMs(m_phaseTimer);
    // A topic that failed to load, or did not finish in time, shows nothing worth printing.
    if (!succeeded) {
        m_webViewUsable = false;
        finishTopic();
        return;
    }
    m_phaseTimer.start();
    prepareTopicForPrint(0);
}

void CHMExporter::prepareTopicForPrint(int attempt)
{
    const double maxHeightPx = kMaximumFrameHeight * kCssPixelsPerPoint;
    m_webView->runScript(TopicPrintScripts::prepareForPrint(m_printSettings.printableViewSize().width(), maxHeightPx),
                         kLayoutScriptTimeout,
                         [this, attempt](const std::optional<QVariant>& result) {
                             if (!result) {
                                 // The topic's own scripts hold the page: it cannot print either.
                                 m_webViewUsable = false;
                                 finishTopic();
                                 return;
                             }
                             const int pending = result->toMap().value(QStringLiteral("pending")).toInt();
                             if (pending > 0 && attempt < kFrameLoadRounds) {
                                 QTimer::singleShot(kFrameLoadRoundDelay, m_webView.get(),
                                                    [this, attempt] { prepareTopicForPrint(attempt + 1); });
                                 return;
                             }
                             m_statistics.layoutMs += elapsedMs(m_phaseTimer);
                             printTopic();
                         });
}

void CHMExporter::printTopic()
{
    m_phaseTimer.start();
    m_webView->printToPdf(m_printSettings.pageLayout(), kTopicPrintTimeout,
                          [this](const QByteArray& printed) { topicPrinted(printed); });
}

void CHMExporter::topicPrinted(const QByteArray& printed)
{
    m_statistics.printMs += elapsedMs(m_phaseTimer);
    if (printed.isEmpty()) {
        m_webViewUsable = false;
        finishTopic();
        return;
    }
    collectAnchors([this, printed] {
        appendPrintedPages(printed);
        finishTopic();
    });
}

void CHMExporter::appendPrintedPages(const QByteArray& printed)
{
    try {
        m_phaseTimer.start();
        const std::unique_ptr<PrintedTopic> topic = PrintedTopic::open(printed);
        m_statistics.blankMs += elapsedMs(m_phaseTimer);
        if (!topic)
            return;
        if (!m_pdfDocument)
            m_pdfDocument = PdfDocument::create();
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
    if (m_webView && static_cast<const CHMWebPage&>(m_webView->page()).hasOpenedDialogs())
        m_webViewUsable = false;
    endTopicAnchors();
    ++m_statistics.topics;
    ++m_curPageId;
    exportToPDF();
}
