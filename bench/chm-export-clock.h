#pragma once

// When chm-export's progress bar first showed each percentage of the topic phase, with what the
// export had used and counted by then.

#include "chm-export-processes.h"

#include <QElapsedTimer>
#include <QString>

#include <array>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

class CHMExporter;

// The topic phase ends when the value first goes down (link resolution starts again from 0). Read
// at each percentage: the wall time, the main thread's processor time, the processor time of the
// whole export (this process, without the bench's own sampling, and the engine's processes), and
// what the exporter counted. The processes are read on a thread of the clock's own, a moment after
// the percentage was reached: walking /proc on the main thread held up the engine's browser side
// at every percentage, and so the export being measured. The main thread appends every page: the wall time per topic grows
// also when the machine gets busier, the processor time only when the work per topic grows.
class TopicClock {
public:
    TopicClock(const QElapsedTimer& timer, ProcessTree& processes, const std::atomic<double>& samplerCpuMs);
    ~TopicClock();
    TopicClock(const TopicClock&) = delete;
    TopicClock& operator=(const TopicClock&) = delete;

    // The first export's exporter, whose counts are read with each percentage.
    void setExporter(const CHMExporter* exporter)
    {
        if (m_exporter.load() == nullptr)
            m_exporter = exporter;
    }

    // Called on the main thread, where the exporter appends its pages.
    void valueChanged(int value);
    // Waits for the readings still being taken; before any of the figures below is asked for.
    void finish();

    // Seconds per 1,000 topics over the first and the last window of topics (a quarter of the
    // topics at most); none when the phase was too short to tell.
    std::optional<std::pair<double, double>> startAndEnd(int topics) const { return m_wall.startAndEnd(topics, m_ended); }
    // Milliseconds of the main thread's processor time per topic over the same windows.
    std::optional<std::pair<double, double>> mainCpuStartAndEnd(int topics) const
    {
        return m_mainCpu.startAndEnd(topics, m_ended);
    }
    // What was counted per topic over the same windows, as "start_NAME_per_topic" and
    // "end_NAME_per_topic" lines: topics at the end may be longer, the engine slower, starts held
    // back for memory more often or renderers replaced more often.
    QString countsPerTopic(int topics) const;
    // The end-to-start ratio of the whole export's processor time per topic (the count "cpu_ms"),
    // and that time per printed page over the same windows with its ratio: the figures that do not
    // follow the machine's load.
    QString cpuPerTopicAndPage(int topics) const;

private:
    struct Readings {
        // By percentage; -1 until reached.
        std::array<double, 101> reached = filled();
        double end = -1;

        static std::array<double, 101> filled();
        // Per topic over the first and the last window.
        std::optional<std::pair<double, double>> startAndEnd(int topics, bool ended) const;
    };

    // What a count is read from at a percentage: the exporter on the main thread, the processes
    // on the clock's thread.
    struct Sample {
        const CHMExporter* exporter;
        TreeUsage usage;
        double samplerCpuMs;
    };
    struct Count {
        const char* name;
        std::function<double(const Sample&)> value;
        bool ofProcesses = false;
        Readings readings; // the count, in place of milliseconds
    };
    // A new value of the bar with what was read at once on the main thread.
    struct Reached {
        int value;
        double wallMs;
        double mainCpuMs;
        std::vector<double> values; // the exporter's counts; the processes' are filled in later
    };

    // A line on the error output at each new percentage, from the main thread, which the counts
    // are kept on: a run stopped before its end still shows how they went.
    void printPercentLine(int value, const Sample& sample, const std::vector<double>& values) const;
    void readProcesses();
    void record(Reached reached);
    std::optional<std::pair<double, double>> countStartAndEnd(const char* name, int topics) const;
    static std::vector<Count> counts();

    const QElapsedTimer& m_timer;
    ProcessTree& m_processes;
    const std::atomic<double>& m_samplerCpuMs;
    std::atomic<const CHMExporter*> m_exporter{nullptr};
    Readings m_wall;
    Readings m_mainCpu;
    std::vector<Count> m_counts = counts();
    int m_last = -1;     // on the main thread
    int m_recorded = -1; // on the clock's thread, as the readings
    bool m_ended = false;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<Reached> m_toRead;
    bool m_finishing = false;
    std::thread m_reader; // last: started once the rest is made
};
