#include "export/CHMExporter.h"

#include "export/AnchorKeys.h"
#include "export/DOMTextWalk.h"
#include "export/PrintedTopic.h"
#include "export/TopicSlot.h"
#include "export/TopicText.h"
#include "platform/OffscreenWebPage.h"

// A topic's anchors: right after its print, its page's text and named elements are read; when its
// turn comes, the destination of the topic itself and of each named element are recorded with
// their offsets in the page's text; while its pages are appended, each pending destination is
// placed on the output page and point where the print put its element (or, for the few the print
// does not name, where its text lies). Link resolution and the outline read the placed
// destinations once every topic is done.

namespace {

// The walk reads the DOM in one pass; a page whose own scripts hold the renderer for longer gets
// no anchors but its own.
constexpr std::chrono::milliseconds kTextWalkTimeout{20000};

// Pages print at 96 CSS pixels to the inch.
constexpr double kPointsPerCssPixel = 72.0 / 96.0;

} // namespace

void CHMExporter::readTopicText(TopicSlot& slot, std::function<void(TopicText)> done)
{
    if (!slot.webView) {
        done(TopicText());
        return;
    }
    QElapsedTimer timer;
    timer.start();
    slot.webView->runScript(DOMTextWalk::script(), kTextWalkTimeout,
                            [this, &slot, done = std::move(done), timer](const std::optional<QVariant>& result) {
                                if (!result)
                                    slot.webViewUsable = false;
                                std::optional<TopicText> text = result ? DOMTextWalk::readResult(*result) : std::nullopt;
                                m_statistics.anchorsMs += elapsedMs(timer);
                                done(text ? std::move(*text) : TopicText());
                            });
}

void CHMExporter::collectAnchors(TopicText text)
{
    QElapsedTimer timer;
    timer.start();
    std::vector<AnchorPlacement::PendingDestination> pending{
        {AddDestinationForEachPage()}};
    addAnchorDestinations(text.anchors(), pending);
    m_topicAnchors.setTopic(text.takeBytes(), std::move(pending));
    m_statistics.anchorsMs += elapsedMs(timer);
}

CHMExporter::LinkDestinationPtr CHMExporter::AddDestinationForEachPage()
{
    const QString key = AnchorKeys::topicKey(m_pageList.at(static_cast<qsizetype>(m_curPageId))->path());
    auto item = std::make_shared<LinkDestinationItem>(m_curPageId, 0);
    m_linkDestinationList.insert(key, item);
    m_linkDestinationListArray.push_back(item);
    return item;
}

void CHMExporter::addAnchorDestinations(const std::vector<TopicAnchor>& anchors,
                                        std::vector<AnchorPlacement::PendingDestination>& pending)
{
    const QString path = m_pageList.at(static_cast<qsizetype>(m_curPageId))->path();
    for (const TopicAnchor& anchor : anchors) {
        const QString key = AnchorKeys::anchorKey(path, anchor.name);
        // The first element of a name is the one a link leads to.
        if (m_linkDestinationList.contains(key))
            continue;
        auto item = std::make_shared<LinkDestinationItem>(m_curPageId, anchor.offset);
        m_linkDestinationList.insert(key, item);
        m_linkDestinationListArray.push_back(item);
        pending.push_back({std::move(item), anchor.wordOffset, anchor.lead * kPointsPerCssPixel, anchor.labelled,
                           anchor.printedName().toStdString(), anchor.boxless});
    }
}

void CHMExporter::beginAnchorPlacement(const PrintedTopic& printed)
{
    m_topicAnchors.setTopMargin(m_printSettings.topMargin);
    m_topicAnchors.usePreparedPages(&printed.preparedLayouts());
    m_topicAnchors.usePrintedPlaces(&printed.namedPlaces());
    m_topicAnchors.begin();
}

void CHMExporter::placeAnchorsOnPage(const PrintedTopic& printed, int pageIndex)
{
    QElapsedTimer timer;
    timer.start();
    m_topicAnchors.placeOnPage(printed.textDocument(), pageIndex, static_cast<std::uint64_t>(m_pageCount));
    m_statistics.anchorsMs += elapsedMs(timer);
}

void CHMExporter::passOverAnchorsOnPage(const PrintedTopic& printed, int pageIndex)
{
    QElapsedTimer timer;
    timer.start();
    m_topicAnchors.passOverPage(printed.textDocument(), pageIndex);
    m_statistics.anchorsMs += elapsedMs(timer);
}

void CHMExporter::endTopicAnchors()
{
    m_topicAnchors.finish();
    m_topicAnchors.clear();
}
