#include "chm-export-clock.h"

#include "export/CHMExporter.h"

#include <algorithm>
#include <cstdio>

TopicClock::TopicClock(const QElapsedTimer& timer, ProcessTree& processes, const std::atomic<double>& samplerCpuMs)
    : m_timer(timer)
    , m_processes(processes)
    , m_samplerCpuMs(samplerCpuMs)
    , m_reader([this] { readProcesses(); })
{
}

TopicClock::~TopicClock()
{
    finish();
}

void TopicClock::finish()
{
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_finishing = true;
    }
    m_wake.notify_one();
    if (m_reader.joinable())
        m_reader.join();
}

std::vector<TopicClock::Count> TopicClock::counts()
{
    const auto fromExporter = [](const char* name, std::function<double(const CHMExporter&)> read) {
        // 0 before the first export has begun.
        return Count{name, [read = std::move(read)](const Sample& sample) { return sample.exporter != nullptr ? read(*sample.exporter) : 0.0; }, false, {}};
    };
    return {
        fromExporter("pages", [](const CHMExporter& exporter) { return exporter.pageCount(); }),
        fromExporter("engine_ms",
                     [](const CHMExporter& exporter) {
                         const ExportStatistics& statistics = exporter.statistics();
                         return statistics.loadMs + statistics.layoutMs + statistics.printMs;
                     }),
        fromExporter("append_ms", [](const CHMExporter& exporter) { return exporter.statistics().appendMs; }),
        fromExporter("starts_held", [](const CHMExporter& exporter) { return exporter.statistics().startsHeldForMemory; }),
        fromExporter("views_retired", [](const CHMExporter& exporter) { return exporter.statistics().viewsRetiredForMemory; }),
        // The whole export: this process without the bench's sampling thread, and the engine's.
        {"cpu_ms", [](const Sample& sample) { return sample.usage.cpuMs - sample.samplerCpuMs; }, true, {}},
        {"engine_cpu_ms", [](const Sample& sample) { return sample.usage.engineCpuMs; }, true, {}},
    };
}

void TopicClock::valueChanged(int value)
{
    if (value == m_last || m_ended)
        return;
    // Once the value goes down, the topic phase has ended: nothing after it is read.
    m_ended = value < m_last;
    const Sample sample{m_exporter.load(), {}, 0};
    Reached reached{value, static_cast<double>(m_timer.elapsed()), threadCpuMs(), {}};
    for (const Count& count : m_counts)
        reached.values.push_back(count.ofProcesses ? 0.0 : count.value(sample));
    m_last = value;
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_toRead.push_back(std::move(reached));
    }
    m_wake.notify_one();
}

void TopicClock::readProcesses()
{
    for (;;) {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_wake.wait(lock, [this] { return m_finishing || !m_toRead.empty(); });
        if (m_toRead.empty())
            return;
        Reached reached = std::move(m_toRead.front());
        m_toRead.pop_front();
        lock.unlock();
        record(std::move(reached));
    }
}

void TopicClock::record(Reached reached)
{
    const Sample sample{nullptr, m_processes.usage(), m_samplerCpuMs.load()};
    for (std::size_t at = 0; at < m_counts.size(); ++at) {
        if (m_counts[at].ofProcesses)
            reached.values[at] = m_counts[at].value(sample);
    }
    if (reached.value < m_recorded) {
        m_wall.end = reached.wallMs;
        m_mainCpu.end = reached.mainCpuMs;
        for (std::size_t at = 0; at < m_counts.size(); ++at)
            m_counts[at].readings.end = reached.values[at];
        return;
    }
    printPercentLine(reached.value, sample, reached.values);
    for (int percent = std::max(m_recorded + 1, 0); percent <= std::min(reached.value, 100); ++percent) {
        const auto index = static_cast<std::size_t>(percent);
        m_wall.reached[index] = reached.wallMs;
        m_mainCpu.reached[index] = reached.mainCpuMs;
        for (std::size_t at = 0; at < m_counts.size(); ++at)
            m_counts[at].readings.reached[index] = reached.values[at];
    }
    m_recorded = reached.value;
}

void TopicClock::printPercentLine(int value, const Sample& sample, const std::vector<double>& values) const
{
    QString line = QStringLiteral("percent=%1 at_s=%2 renderers=%3 renderers_started=%4")
                       .arg(value)
                       .arg(static_cast<double>(m_timer.elapsed()) / 1000.0, 0, 'f', 1)
                       .arg(sample.usage.renderers)
                       .arg(m_processes.renderersSeen());
    for (std::size_t at = 0; at < m_counts.size(); ++at)
        line += QStringLiteral(" %1=%2").arg(QLatin1String(m_counts[at].name)).arg(values[at], 0, 'f', 0);
    std::fprintf(stderr, "%s\n", qUtf8Printable(line));
}

QString TopicClock::countsPerTopic(int topics) const
{
    QString lines;
    for (const Count& count : m_counts) {
        if (const auto perTopic = count.readings.startAndEnd(topics, m_ended)) {
            lines += QStringLiteral("start_%1_per_topic=%2\nend_%1_per_topic=%3\n")
                         .arg(QLatin1String(count.name))
                         .arg(perTopic->first, 0, 'f', 2)
                         .arg(perTopic->second, 0, 'f', 2);
        }
    }
    return lines;
}

QString TopicClock::cpuPerTopicAndPage(int topics) const
{
    const auto cpu = countStartAndEnd("cpu_ms", topics);
    const auto pages = countStartAndEnd("pages", topics);
    if (!cpu || cpu->first <= 0)
        return {};
    // The per-topic figures themselves are among the counts.
    QString lines = QStringLiteral("end_to_start_cpu_ratio=%1\n").arg(cpu->second / cpu->first, 0, 'f', 2);
    if (pages && pages->first > 0 && pages->second > 0) {
        const double start = cpu->first / pages->first;
        const double end = cpu->second / pages->second;
        lines += QStringLiteral("start_cpu_ms_per_page=%1\nend_cpu_ms_per_page=%2\nend_to_start_cpu_per_page_ratio=%3\n")
                     .arg(start, 0, 'f', 2)
                     .arg(end, 0, 'f', 2)
                     .arg(end / start, 0, 'f', 2);
    }
    return lines;
}

std::optional<std::pair<double, double>> TopicClock::countStartAndEnd(const char* name, int topics) const
{
    const auto found = std::find_if(m_counts.begin(), m_counts.end(),
                                    [name](const Count& count) { return qstrcmp(count.name, name) == 0; });
    if (found == m_counts.end())
        return std::nullopt;
    return found->readings.startAndEnd(topics, m_ended);
}

std::array<double, 101> TopicClock::Readings::filled()
{
    std::array<double, 101> values{};
    values.fill(-1);
    return values;
}

std::optional<std::pair<double, double>> TopicClock::Readings::startAndEnd(int topics, bool ended) const
{
    const int window = std::min(1000, topics / 4);
    if (!ended || window == 0)
        return std::nullopt;
    const int startPercent = (window * 100 + topics - 1) / topics;
    const int endPercent = (topics - window) * 100 / topics;
    if (startPercent >= endPercent || reached[0] < 0 || reached[static_cast<size_t>(startPercent)] < 0
        || reached[static_cast<size_t>(endPercent)] < 0)
        return std::nullopt;
    const double startTopics = startPercent * topics / 100.0;
    const double endTopics = topics - endPercent * topics / 100.0;
    const double atStart = (reached[static_cast<size_t>(startPercent)] - reached[0]) / startTopics;
    const double atEnd = (end - reached[static_cast<size_t>(endPercent)]) / endTopics;
    return std::make_pair(atStart, atEnd);
}
