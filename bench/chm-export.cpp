// chm-export [--jobs N] [--paper W,H] [--margins L,T,R,B] [--landscape] [--no-links] [--no-toc] [--encoding NAME]
//            [--repeat N] FILE.chm OUT.pdf
//
// Exports a CHM file to PDF the way the batch application does (the steps of the document's export,
// called from a worker thread while the main thread serves the web engine) and prints key=value
// lines: topics, pages, the mean time per topic of each phase (summed over the topics in flight, so
// with several jobs they add up to more than the wall time), the jobs used, the most printed topics
// held waiting for their turn, seconds, the peak memory of this process and of this process with the
// engine's processes (sampled; resident and proportional sums, and the largest engine process), the processor time per topic of the main thread and of all these
// processes together, and the ratio of the whole export's time to the engine's loading, layout and
// printing alone; then the output's size and embedded font programs, and the time per 1,000 topics
// at the start and at the end of the topic phase with their ratio (an export that slows down as the
// document grows shows a ratio above 1), and over the same topics the main thread's processor time
// per topic (which, unlike the wall time, does not grow when the machine gets busier), the pages,
// the engine's loading, layout and printing, the appending and the starts held back for memory.
// Every minute a progress line on the error output: the percentage, this process's resident size
// and its allocator's bytes in use (what the export holds itself), and the engine's.
// --jobs: topics in the engine at once; by default the exporter's automatic choice.
// --repeat N: exports N times in the same process (the figures above are over all of them) and
// prints, after each, the memory this process and the engine's processes still hold once the
// export has ended: a later export should not start higher than the first.
// Sizes are points; the defaults are US Letter with 36-point margins. Exits non-zero when no PDF
// was written.

#include "common/TomefoldConversionOptions.h"
#include "chm/CHMDocument.h"
#include "chm/CHMTableOfContent.h"
#include "chm/ITSSScheme.h"
#include "export/CHMExporter.h"
#include "export/PDFExportProvider.h"
#include "platform/PdfDocument.h"

#include <QApplication>
#include <QDir>
#include <QProgressBar>
#include <QElapsedTimer>
#include <QFile>
#include <QLoggingCategory>
#include <QRegularExpression>
#include <QStringList>

#define POINTERHOLDER_TRANSITION 4
#include <qpdf/QPDF.hh>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <map>
#include <optional>
#include <thread>
#include <malloc.h>
#include <time.h>
#include <unistd.h>
#include <vector>

namespace {

QString g_statistics; // the export's statistics line, caught from its logging category

void catchStatistics(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (context.category != nullptr && qstrcmp(context.category, "tomefold.export.statistics") == 0) {
        g_statistics = message;
        return;
    }
    if (type != QtDebugMsg)
        std::fprintf(stderr, "%s\n", qUtf8Printable(message));
}

std::optional<QList<double>> numbers(const QString& text, int count)
{
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != count)
        return std::nullopt;
    QList<double> values;
    for (const QString& part : parts) {
        bool ok = false;
        values << part.toDouble(&ok);
        if (!ok)
            return std::nullopt;
    }
    return values;
}

struct Arguments {
    TomefoldConversionOptions options;
    QString source;
    QString target;
    int jobs = CHMExporter::automaticJobs();
    int repeat = 1;
};

std::optional<Arguments> parse(const QStringList& args)
{
    Arguments parsed;
    TomefoldConversionOptions& options = parsed.options;
    options.pageWidth = 612;
    options.pageHeight = 792;
    options.leftMargin = options.topMargin = options.rightMargin = options.bottomMargin = 36;
    options.exportHyperlinks = options.exportTOC = 1;
    QStringList files;
    for (int i = 1; i < args.size(); ++i) {
        const QString& arg = args[i];
        const QString next = i + 1 < args.size() ? args[i + 1] : QString();
        if (arg == QLatin1String("--paper")) {
            const auto size = numbers(next, 2);
            if (!size)
                return std::nullopt;
            options.pageWidth = (*size)[0];
            options.pageHeight = (*size)[1];
            ++i;
        } else if (arg == QLatin1String("--margins")) {
            const auto margins = numbers(next, 4);
            if (!margins)
                return std::nullopt;
            options.leftMargin = (*margins)[0];
            options.topMargin = (*margins)[1];
            options.rightMargin = (*margins)[2];
            options.bottomMargin = (*margins)[3];
            ++i;
        } else if (arg == QLatin1String("--landscape")) {
            options.orientation = kTomefoldLandscapeOrientation;
        } else if (arg == QLatin1String("--no-links")) {
            options.exportHyperlinks = 0;
        } else if (arg == QLatin1String("--no-toc")) {
            options.exportTOC = 0;
        } else if (arg == QLatin1String("--jobs")) {
            bool ok = false;
            parsed.jobs = next.toInt(&ok);
            if (!ok || parsed.jobs < 1)
                return std::nullopt;
            ++i;
        } else if (arg == QLatin1String("--repeat")) {
            bool ok = false;
            parsed.repeat = next.toInt(&ok);
            if (!ok || parsed.repeat < 1)
                return std::nullopt;
            ++i;
        } else if (arg == QLatin1String("--encoding") && !next.isEmpty()) {
            options.encodingName = next;
            ++i;
        } else if (arg.startsWith(QLatin1String("--"))) {
            return std::nullopt;
        } else {
            files << arg;
        }
    }
    if (files.size() != 2)
        return std::nullopt;
    parsed.source = files[0];
    parsed.target = files[1];
    return parsed;
}

// The value of one "key=value" line of the statistics; 0 when missing.
double statisticValue(const QString& lines, const char* key)
{
    const QRegularExpression line(QStringLiteral("^%1=(.*)$").arg(QLatin1String(key)),
                                  QRegularExpression::MultilineOption);
    return line.match(lines).captured(1).toDouble();
}

// This process and every process below it (the engine's): their resident memory in KiB, the
// largest of the engine's processes alone, and the processor time they and the children they
// reaped have used, in milliseconds. With proportional set sizes asked for, also the sum of those:
// the resident sum counts the engine's shared libraries once for every renderer, the proportional
// one splits each shared page among the processes that map it.
struct TreeUsage {
    long residentKiB = 0;
    long largestEngineKiB = 0;
    long proportionalKiB = 0;
    double cpuMs = 0;
};

long proportionalKiB(long pid)
{
    QFile rollup(QStringLiteral("/proc/%1/smaps_rollup").arg(pid));
    if (!rollup.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : rollup.readAll().split('\n')) {
        if (line.startsWith("Pss:"))
            return line.mid(4).trimmed().split(' ').first().toLong();
    }
    return 0;
}

TreeUsage treeUsage(bool proportional = false)
{
    struct Process {
        long parent = 0;
        long residentKiB = 0;
        double cpuTicks = 0;
    };
    std::map<long, Process> processes;
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool isPid = false;
        const long pid = entry.toLong(&isPid);
        QFile stat(QStringLiteral("/proc/%1/stat").arg(entry));
        if (!isPid || !stat.open(QIODevice::ReadOnly))
            continue;
        // pid (name) state ppid ... utime stime cutime cstime (fields 14 to 17) ... rss (field 24)
        const QByteArray line = stat.readAll();
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (fields.size() < 22)
            continue;
        Process& process = processes[pid];
        process.parent = fields[1].toLong();
        for (int field = 11; field <= 14; ++field)
            process.cpuTicks += fields[field].toDouble();
        process.residentKiB = fields[21].toLong() * (::sysconf(_SC_PAGESIZE) / 1024);
    }
    const long self = static_cast<long>(::getpid());
    const double msPerTick = 1000.0 / static_cast<double>(::sysconf(_SC_CLK_TCK));
    TreeUsage usage;
    for (const auto& [pid, process] : processes) {
        for (long ancestor = pid; ancestor > 1;
             ancestor = processes.count(ancestor) ? processes.at(ancestor).parent : 0) {
            if (ancestor == self) {
                usage.residentKiB += process.residentKiB;
                usage.cpuMs += process.cpuTicks * msPerTick;
                if (pid != self)
                    usage.largestEngineKiB = std::max(usage.largestEngineKiB, process.residentKiB);
                if (proportional)
                    usage.proportionalKiB += proportionalKiB(pid);
                break;
            }
        }
    }
    return usage;
}

// Processor time the calling thread has used, in milliseconds.
// What this process's allocator hands out and has not had back: the export's own data (the engine
// allocates most of its own elsewhere), which the resident size mixes with pages kept for reuse.
double heapInUseMb()
{
    const struct mallinfo2 usage = ::mallinfo2();
    return static_cast<double>(usage.uordblks + usage.hblkhd) / 1048576.0;
}

double threadCpuMs()
{
    timespec used{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &used);
    return static_cast<double>(used.tv_sec) * 1000.0 + static_cast<double>(used.tv_nsec) / 1e6;
}

long statusKiB(const char* field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(static_cast<qsizetype>(qstrlen(field))).trimmed().split(' ').first().toLong();
    }
    return -1;
}

long peakMemoryKiB()
{
    return statusKiB("VmHWM:");
}

// The embedded font programs of a PDF file: FontFile, FontFile2 and FontFile3 streams.
int fontProgramCount(const QString& path)
{
    QPDF pdf;
    pdf.processFile(QFile::encodeName(path).constData());
    int count = 0;
    for (QPDFObjectHandle object : pdf.getAllObjects()) {
        if (!object.isDictionary() || !object.getKey("/Type").isNameAndEquals("/FontDescriptor"))
            continue;
        for (const char* key : {"/FontFile", "/FontFile2", "/FontFile3"})
            count += object.getKey(key).isStream() ? 1 : 0;
    }
    return count;
}

// When the progress bar first showed each percentage of the topic phase, which ends when the
// value first goes down (link resolution starts again from 0), in wall time and in processor time
// of the main thread. The main thread appends every page: the wall time per topic grows also when
// the machine gets busier, its processor time only when the export's own work per topic grows.
class TopicClock {
public:
    explicit TopicClock(const QElapsedTimer& timer)
        : m_timer(timer)
    {}

    // The first export's exporter, whose pages appended so far are read with each percentage.
    void setExporter(const CHMExporter* exporter)
    {
        if (m_exporter.load() == nullptr)
            m_exporter = exporter;
    }

    // Called on the main thread, where the exporter appends its pages.
    void valueChanged(int value)
    {
        if (m_ended)
            return;
        const CHMExporter* exporter = m_exporter.load();
        std::vector<double> counts;
        for (const Count& count : m_counts)
            counts.push_back(exporter != nullptr ? count.value(*exporter) : 0);
        if (value < m_last) {
            m_ended = true;
            m_wall.end = static_cast<double>(m_timer.elapsed());
            m_mainCpu.end = threadCpuMs();
            for (std::size_t at = 0; at < m_counts.size(); ++at)
                m_counts[at].readings.end = counts[at];
            return;
        }
        for (int percent = std::max(m_last + 1, 0); percent <= std::min(value, 100); ++percent) {
            m_wall.reached[static_cast<size_t>(percent)] = static_cast<double>(m_timer.elapsed());
            m_mainCpu.reached[static_cast<size_t>(percent)] = threadCpuMs();
            for (std::size_t at = 0; at < m_counts.size(); ++at)
                m_counts[at].readings.reached[static_cast<size_t>(percent)] = counts[at];
        }
        m_last = value;
    }

    // Seconds per 1,000 topics over the first and the last window of topics (a quarter of the
    // topics at most); none when the phase was too short to tell.
    std::optional<std::pair<double, double>> startAndEnd(int topics) const { return m_wall.startAndEnd(topics, m_ended); }
    // Milliseconds of the main thread's processor time per topic over the same windows.
    std::optional<std::pair<double, double>> mainCpuStartAndEnd(int topics) const
    {
        return m_mainCpu.startAndEnd(topics, m_ended);
    }
    // What the exporter counted per topic over the same windows, as "start_NAME_per_topic" and
    // "end_NAME_per_topic" lines: topics at the end may be longer, the engine slower or starts held
    // back for memory more often.
    QString countsPerTopic(int topics) const
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

private:
    struct Readings {
        // By percentage; -1 until reached.
        std::array<double, 101> reached = filled();
        double end = -1;

        static std::array<double, 101> filled()
        {
            std::array<double, 101> values{};
            values.fill(-1);
            return values;
        }

        // Per topic over the first and the last window.
        std::optional<std::pair<double, double>> startAndEnd(int topics, bool ended) const
        {
            const int window = std::min(1000, topics / 4);
            const int startPercent = (window * 100 + topics - 1) / topics;
            const int endPercent = (topics - window) * 100 / topics;
            if (!ended || window == 0 || startPercent >= endPercent || reached[0] < 0
                || reached[static_cast<size_t>(startPercent)] < 0 || reached[static_cast<size_t>(endPercent)] < 0)
                return std::nullopt;
            const double startTopics = startPercent * topics / 100.0;
            const double endTopics = topics - endPercent * topics / 100.0;
            const double atStart = (reached[static_cast<size_t>(startPercent)] - reached[0]) / startTopics;
            const double atEnd = (end - reached[static_cast<size_t>(endPercent)]) / endTopics;
            return std::make_pair(atStart, atEnd);
        }
    };

    const QElapsedTimer& m_timer;
    struct Count {
        const char* name;
        std::function<double(const CHMExporter&)> value;
        Readings readings; // the count, in place of milliseconds
    };

    std::atomic<const CHMExporter*> m_exporter{nullptr};
    Readings m_wall;
    Readings m_mainCpu;
    std::vector<Count> m_counts{
        {"pages", [](const CHMExporter& exporter) { return exporter.pageCount(); }, {}},
        {"engine_ms",
         [](const CHMExporter& exporter) {
             const ExportStatistics& statistics = exporter.statistics();
             return statistics.loadMs + statistics.layoutMs + statistics.printMs;
         },
         {}},
        {"append_ms", [](const CHMExporter& exporter) { return exporter.statistics().appendMs; }, {}},
        {"starts_held", [](const CHMExporter& exporter) { return exporter.statistics().startsHeldForMemory; }, {}},
    };
    int m_last = -1;
    bool m_ended = false;
};

} // namespace

int main(int argc, char** argv)
{
    // Headless, and the engine's sandbox cannot run as root.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (::geteuid() == 0)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    registerITSSScheme();
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);

    std::optional<Arguments> arguments = parse(QCoreApplication::arguments());
    if (!arguments) {
        std::fprintf(stderr, "usage: chm-export [--jobs N] [--paper W,H] [--margins L,T,R,B] [--landscape] [--no-links] [--no-toc] "
                             "[--encoding NAME] FILE.chm OUT.pdf\n");
        return 2;
    }
    qInstallMessageHandler(catchStatistics);
    QLoggingCategory::setFilterRules(QStringLiteral("tomefold.export.statistics.info=true"));
    QFile::remove(arguments->target);

    CHMDocument document;
    document.setExportProvider(&PDFExportProvider());
    if (!document.readFromURL(QUrl::fromLocalFile(arguments->source), QStringLiteral("CHM"))) {
        std::fprintf(stderr, "cannot open %s\n", qUtf8Printable(arguments->source));
        return 1;
    }
    std::atomic<bool> exporting{true};
    std::atomic<long> peakTreeKiB{0};
    std::atomic<long> peakProportionalKiB{0};
    std::atomic<long> peakEngineProcessKiB{0};
    std::atomic<int> percentShown{0};
    QElapsedTimer sampled;
    sampled.start();
    std::thread sampler([&] {
        // A long export tells how far it is every minute on the error output: a run stopped
        // before its end still shows how memory and speed went.
        qint64 lastLine = 0;
        long proportional = 0;
        for (int sample = 0; exporting.load(); ++sample) {
            // The proportional sizes cost the system a walk over every mapping: once a second.
            const TreeUsage usage = treeUsage(sample % 4 == 0);
            peakTreeKiB = std::max(peakTreeKiB.load(), usage.residentKiB);
            peakEngineProcessKiB = std::max(peakEngineProcessKiB.load(), usage.largestEngineKiB);
            if (sample % 4 == 0) {
                proportional = usage.proportionalKiB;
                peakProportionalKiB = std::max(peakProportionalKiB.load(), proportional);
            }
            if (sampled.elapsed() - lastLine >= 60000) {
                lastLine = sampled.elapsed();
                std::fprintf(stderr, "at_s=%lld percent=%d rss_mb=%.1f heap_mb=%.1f with_engine_mb=%.1f with_engine_pss_mb=%.1f "
                                     "largest_engine_process_mb=%.1f\n",
                             lastLine / 1000, percentShown.load(), static_cast<double>(statusKiB("VmRSS:")) / 1024.0,
                             heapInUseMb(),
                             static_cast<double>(usage.residentKiB) / 1024.0, static_cast<double>(proportional) / 1024.0,
                             static_cast<double>(usage.largestEngineKiB) / 1024.0);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(250));
        }
    });
    QElapsedTimer timer;
    timer.start();
    QProgressBar progress;
    TopicClock clock(timer);
    QObject::connect(&progress, &QProgressBar::valueChanged, [&clock, &percentShown](int value) {
        clock.valueChanged(value);
        percentShown = value;
    });
    document.exportProgressIndicator = &progress;
    const double mainCpuAtStart = threadCpuMs();
    const double treeCpuAtStart = treeUsage().cpuMs;
    double treeCpuMs = 0;
    QStringList afterExports;
    std::thread worker([&] {
        for (int run = 1; run <= arguments->repeat; ++run) {
            {
                // The document's export entry, with the number of jobs set on the exporter.
                const LinkItemList pageList = document.tocSource() != nullptr ? document.tocSource()->pageList() : LinkItemList();
                CHMExporter exporter(document, QUrl::fromLocalFile(arguments->target), pageList, &arguments->options);
                clock.setExporter(&exporter);
                if (!arguments->options.encodingName.isNull())
                    document.setEncodingName(arguments->options.encodingName);
                exporter.setJobs(arguments->jobs);
                exporter.initConditionalLock();
                exporter.exportToPDF();
                exporter.lockWhenCondition();
                exporter.releaseLock();
            }
            if (run == 1)
                treeCpuMs = treeUsage().cpuMs - treeCpuAtStart;
            // The engine's processes end a moment after their pages and profile are gone.
            std::this_thread::sleep_for(std::chrono::seconds(3));
            const TreeUsage after = treeUsage(true);
            afterExports << QStringLiteral("rss_after_export_%1_mb=%2\nrss_with_engine_after_export_%1_mb=%3\n"
                                           "pss_with_engine_after_export_%1_mb=%4\n")
                                .arg(run)
                                .arg(static_cast<double>(statusKiB("VmRSS:")) / 1024.0, 0, 'f', 1)
                                .arg(static_cast<double>(after.residentKiB) / 1024.0, 0, 'f', 1)
                                .arg(static_cast<double>(after.proportionalKiB) / 1024.0, 0, 'f', 1);
            // Also at once: a run stopped during a later export still shows what this one left.
            std::fprintf(stderr, "%s", qUtf8Printable(afterExports.last()));
        }
        QMetaObject::invokeMethod(&app, &QCoreApplication::quit, Qt::QueuedConnection);
    });
    app.exec();
    worker.join();
    const double seconds = static_cast<double>(timer.elapsed()) / 1000.0;
    // The main thread serves the engine's browser side and appends every page: the export cannot
    // be faster than its busy time, however many topics are in flight.
    const double mainCpuMs = threadCpuMs() - mainCpuAtStart;
    exporting = false;
    sampler.join();
    // Before the output is read back below, which takes memory of its own.
    const long peakKiB = peakMemoryKiB();

    QFile written(arguments->target);
    const bool wrote = written.open(QIODevice::ReadOnly);
    const std::unique_ptr<PdfDocument> pdf = wrote ? PdfDocument::open(written.readAll()) : nullptr;
    QString lines = g_statistics;
    lines.replace(QRegularExpression(QStringLiteral("^pages=.*$"), QRegularExpression::MultilineOption),
                  QStringLiteral("pages=%1").arg(pdf ? pdf->pageCount() : 0));
    std::printf("%s", qUtf8Printable(lines));
    std::printf("seconds=%.2f\npeak_rss_mb=%.1f\npeak_rss_with_engine_mb=%.1f\npeak_pss_with_engine_mb=%.1f\n"
                "peak_engine_process_mb=%.1f\n",
                seconds, static_cast<double>(peakKiB) / 1024.0, static_cast<double>(peakTreeKiB.load()) / 1024.0,
                static_cast<double>(peakProportionalKiB.load()) / 1024.0,
                static_cast<double>(peakEngineProcessKiB.load()) / 1024.0);
    // The whole export against the engine's own part of it: loading, laying out and printing.
    const double engineMs = statisticValue(lines, "load_ms") + statisticValue(lines, "layout_ms")
                            + statisticValue(lines, "print_ms");
    const double topics = statisticValue(lines, "topics");
    if (topics > 0)
        std::printf("main_thread_cpu_ms=%.2f\nall_processes_cpu_ms=%.2f\nwall_ms_per_topic=%.2f\n", mainCpuMs / topics,
                    treeCpuMs / topics, seconds * 1000.0 / topics);
    if (engineMs > 0 && topics > 0)
        std::printf("whole_to_engine_ratio=%.2f\n", seconds * 1000.0 / topics / engineMs);
    if (pdf) {
        std::printf("output_mb=%.2f\nfont_programs=%d\n", static_cast<double>(written.size()) / 1048576.0,
                    fontProgramCount(arguments->target));
    }
    std::printf("%s", qUtf8Printable(afterExports.join(QString())));
    if (const auto perTopic = clock.startAndEnd(static_cast<int>(topics))) {
        std::printf("start_s_per_1000_topics=%.1f\nend_s_per_1000_topics=%.1f\nend_to_start_ratio=%.2f\n",
                    perTopic->first, perTopic->second, perTopic->second / perTopic->first);
    }
    std::printf("%s", qUtf8Printable(clock.countsPerTopic(static_cast<int>(topics))));
    if (const auto perTopic = clock.mainCpuStartAndEnd(static_cast<int>(topics))) {
        std::printf("start_main_cpu_ms_per_topic=%.2f\nend_main_cpu_ms_per_topic=%.2f\nend_to_start_main_cpu_ratio=%.2f\n",
                    perTopic->first, perTopic->second, perTopic->second / perTopic->first);
    }
    return pdf ? 0 : 1;
}
