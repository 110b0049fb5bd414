#include "chm-export-clock.h"

#include "export/CHMExporter.h"

#include <algorithm>
#include <cstdio>

TopicClock::TopicClock(const QElapsedTimer& timer, ProcessTree& processes, const std::atomic<double>& samplerCpuMs)
    : m_timer(timer)
    , m_processes(processes)
    , m_samplerCpuMs(samplerCpuMs)
{
}

std::vector<TopicClock::Count> TopicClock::counts()
{
    const auto fromExporter = [](const char* name, std::function<double(const CHMExporter&)> read) {
        // 0 before the first export has begun.
        return Count{name, [read = std::move(read)](const Sample& sample) { return sample.exporter != nullptr ? read(*sample.exporter) : 0.0; }, {}};
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
        {"cpu_ms", [](const Sample& sample) { return sample.usage.cpuMs - sample.samplerCpuMs; }, {}},
        {"engine_cpu_ms", [](const Sample& sample) { return sample.usage.engineCpuMs; }, {}},
    };
}

void TopicClock::valueChanged(int value)
{
    if (m_ended)
        return;
    const Sample sample{m_exporter.load(), m_processes.usage(), m_samplerCpuMs.load()};
    std::vector<double> values;
    for (const Count& count : m_counts)
        values.push_back(count.value(sample));
    if (value < m_last) {
        m_ended = true;
        m_wall.end = static_cast<double>(m_timer.elapsed());
        m_mainCpu.end = threadCpuMs();
        for (std::size_t at = 0; at < m_counts.size(); ++at)
            m_counts[at].readings.end = values[at];
        return;
    }
    if (value > m_last)
        printPercentLine(value, sample, values);
    for (int percent = std::max(m_last + 1, 0); percent <= std::min(value, 100); ++percent) {
        const auto index = static_cast<std::size_t>(percent);
        m_wall.reached[index] = static_cast<double>(m_timer.elapsed());
        m_mainCpu.reached[index] = threadCpuMs();
        for (std::size_t at = 0; at < m_counts.size(); ++at)
            m_counts[at].readings.reached[index] = values[at];
    }
    m_last = value;
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
