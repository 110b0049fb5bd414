#include "export/TopicPrintQueue.h"

#include <algorithm>
#include <set>
#include <utility>

TopicPrintQueue::TopicPrintQueue(std::size_t topicCount, int window)
    : m_topicCount(topicCount)
    , m_window(static_cast<std::size_t>(std::max(window, 1)))
{
}

std::optional<std::size_t> TopicPrintQueue::startNext()
{
    if (m_closed || m_nextToStart >= m_topicCount || m_nextToStart - m_turn >= m_window)
        return std::nullopt;
    return m_nextToStart++;
}

void TopicPrintQueue::put(std::size_t topic, TopicPrintout printout)
{
    // Only a started topic that has not had its turn yet can be done; anything else is a late
    // answer about a topic already given up.
    if (m_closed || topic < m_turn || topic >= m_nextToStart)
        return;
    const auto earlier = m_waiting.find(topic);
    if (earlier != m_waiting.end())
        m_waitingBytes -= earlier->second.printed.size();
    m_waitingBytes += printout.printed.size();
    m_waiting.insert_or_assign(topic, std::move(printout));
    // The topic whose turn it is is taken at once; only those ahead of it are held.
    const std::size_t held = m_waiting.size() - (m_waiting.contains(m_turn) ? 1 : 0);
    m_peakWaiting = std::max(m_peakWaiting, held);
}

std::optional<TopicPrintout> TopicPrintQueue::takeTurn()
{
    if (m_closed)
        return std::nullopt;
    const auto found = m_waiting.find(m_turn);
    if (found == m_waiting.end())
        return std::nullopt;
    TopicPrintout printout = std::move(found->second);
    m_waiting.erase(found);
    m_waitingBytes -= printout.printed.size();
    ++m_turn;
    return printout;
}

void TopicPrintQueue::close()
{
    m_closed = true;
    m_waiting.clear();
    m_waitingBytes = 0;
}

RendererLoad SumRendererLoad(std::span<const ViewRenderer> views)
{
    std::set<qint64> counted;
    RendererLoad load;
    for (const ViewRenderer& view : views) {
        // A topic between its view and its renderer (loading has not begun) is at work all the same.
        load.topicAtWork = load.topicAtWork || view.busy;
        if (view.pid <= 0)
            continue;
        if (view.busy)
            load.largestAtWorkBytes = std::max(load.largestAtWorkBytes, view.residentBytes);
        if (counted.insert(view.pid).second)
            load.totalBytes += view.residentBytes;
    }
    return load;
}

bool MayStartTopic(const RendererLoad& load, qint64 retireBytes, qint64 budgetBytes)
{
    if (!load.topicAtWork)
        return true;
    return load.totalBytes <= budgetBytes && load.largestAtWorkBytes <= retireBytes;
}

qint64 RendererShareBytes(qint64 retireBytes, qint64 budgetBytes, int jobs)
{
    return std::min(retireBytes, budgetBytes / std::max(jobs, 1));
}
