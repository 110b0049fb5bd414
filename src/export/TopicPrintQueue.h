#pragma once

#include "export/TopicText.h"

#include <QByteArray>
#include <QtGlobal>

#include <cstddef>
#include <map>
#include <memory>
#include <optional>
#include <span>

class PrintedTopic;

// What a topic's view hands on when it is done with the topic: the printed PDF (empty when the
// topic could not be loaded, laid out or printed) and the text and named places its page held
// right after the print; then the printed PDF opened and its pages read, ahead of their turn
// (null when it could not be opened).
struct TopicPrintout {
    QByteArray printed;
    // The topic loaded but its print failed (or timed out): it is counted and the user told.
    bool unprintable = false;
    TopicText text;
    std::shared_ptr<PrintedTopic> opened;
    double openMs = 0;   // opening and the blank test
    double layoutMs = 0; // reading the pages' text layout
};

// The order of the export's topics while several are in the engine at once.
//
// Views take topics in page-list order, but finish them in any order; the printouts that are
// ready before their turn wait here until every topic before them has been appended, so the output
// is put together exactly as if the topics had been printed one after another. At most `window`
// topics are started and not yet taken for appending, which bounds the printouts held waiting
// (fewer than `window`).
class TopicPrintQueue {
public:
    TopicPrintQueue(std::size_t topicCount, int window);

    // The next topic to start, or none when every topic has started or the bound is reached.
    std::optional<std::size_t> startNext();
    // A started topic is done. Ignored once closed.
    void put(std::size_t topic, TopicPrintout printout);
    // The printout of the topic whose turn it is, once that topic is done; the turn then passes on.
    std::optional<TopicPrintout> takeTurn();
    // Nothing more starts or is taken, and what waits is let go.
    void close();

    std::size_t turn() const { return m_turn; }
    std::size_t started() const { return m_nextToStart; }
    std::size_t waiting() const { return m_waiting.size(); }
    std::size_t peakWaiting() const { return m_peakWaiting; }
    // The printed bytes of the printouts waiting.
    qsizetype waitingBytes() const { return m_waitingBytes; }
    bool isClosed() const { return m_closed; }

private:
    std::size_t m_topicCount;
    std::size_t m_window;
    std::size_t m_nextToStart = 0;
    std::size_t m_turn = 0;
    std::map<std::size_t, TopicPrintout> m_waiting;
    std::size_t m_peakWaiting = 0;
    qsizetype m_waitingBytes = 0;
    bool m_closed = false;
};

// What the export's renderers hold when a further topic could start.
struct RendererLoad {
    qint64 totalBytes = 0;         // every renderer counted once
    qint64 largestAtWorkBytes = 0; // the largest renderer of a topic still at work
    bool topicAtWork = false;
};

// One view's renderer process as the export sees it: views of one profile may share a renderer.
struct ViewRenderer {
    qint64 pid = 0;           // 0 before the view has a renderer
    qint64 residentBytes = 0; // what that renderer holds in RAM
    bool busy = false;        // the view is working on a topic
};

// The load of the views' renderers, each renderer counted once however many views it serves.
RendererLoad SumRendererLoad(std::span<const ViewRenderer> views);

// Whether a further topic may start now. One topic is always at work, however much it takes.
// Beyond that, none starts while the renderers hold more than budgetBytes together, nor while a
// topic at work has a renderer past retireBytes: such a topic is a long one still growing, and a
// second long topic beside it could take as much again before either ends.
bool MayStartTopic(const RendererLoad& load, qint64 retireBytes, qint64 budgetBytes);

// The size past which a view's renderer is replaced once its topic is done: its share of the
// renderers' budget, and never more than retireBytes. Views serve topic after topic and their
// renderers keep growing; were each let grow to retireBytes, a few of them would fill the budget
// together and hold every further start until one topic ends, one topic at a time, for the rest of
// the export. Replaced at their share, `jobs` renderers stay within the budget.
qint64 RendererShareBytes(qint64 retireBytes, qint64 budgetBytes, int jobs);
