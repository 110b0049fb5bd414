// chm-export [--jobs N] [--paper W,H] [--margins L,T,R,B] [--landscape] [--no-links] [--no-toc] [--encoding NAME]
//            [--repeat N] [--renderer-limits RETIRE,BUDGET] FILE.chm OUT.pdf
//
// Exports a CHM file to PDF the way the batch application does (the steps of the document's export,
// called from a worker thread while the main thread serves the web engine) and prints key=value
// lines: topics, pages, the mean time per topic of each phase (summed over the topics in flight, so
// with several jobs they add up to more than the wall time), the jobs used, the most printed topics
// held waiting for their turn, seconds, the peak memory of this process and of this process with the
// engine's processes (sampled; resident and proportional sums, and the largest engine process), this
// process's resident size and allocator's bytes in use when the last topic was appended and what
// finishing the document (links, outline, write) adds to them at its peak, the processor time per topic of the main thread and of all these
// processes together, and the ratio of the whole export's time to the engine's loading, layout and
// printing alone; then the output's size and embedded font programs, and the time per 1,000 topics
// at the start and at the end of the topic phase with their ratio (an export that slows down as the
// document grows shows a ratio above 1), and over the same topics the main thread's processor time
// per topic (which, unlike the wall time, does not grow when the machine gets busier), the pages,
// the engine's loading, layout and printing, the appending, the starts held back for memory, the
// views replaced for memory and the processor time of the engine's processes; then the processor
// time of the whole export (this process and the engine's, without the bench's own sampling) per
// topic and per printed page with their end-to-start ratios, and how many renderer processes were
// started in all. Every minute a progress line on the error output: the percentage, this process's
// resident size and its allocator's bytes in use (what the export holds itself), the engine's, the
// processor seconds used so far, and the renderers alive and started so far.
// --jobs: topics in the engine at once; by default the exporter's automatic choice.
// --repeat N: exports N times in the same process (the figures above are over all of them) and
// prints, after each, the memory this process and the engine's processes still hold once the
// export has ended: a later export should not start higher than the first.
// --renderer-limits: the exporter's renderer limits in bytes (a renderer past RETIRE, or past its
// share of BUDGET, is replaced after its topic); "1,1" replaces every view after every topic.
// Sizes are points; the defaults are US Letter with 36-point margins. Exits non-zero when no PDF
// was written.

#include "common/TomefoldConversionOptions.h"
#include "chm/CHMDocument.h"
#include "chm/CHMTableOfContent.h"
#include "chm/ITSSScheme.h"
#include "export/CHMExporter.h"
#include "export/PDFExportProvider.h"
#include "platform/PdfDocument.h"

#include "chm-export-clock.h"
#include "headless-engine.h"
#include "chm-export-processes.h"

#include <QApplication>
#include <QProgressBar>
#include <QElapsedTimer>
#include <QFile>
#include <QLoggingCategory>
#include <QRegularExpression>
#include <QStringList>

#define POINTERHOLDER_TRANSITION 4
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <optional>
#include <set>
#include <thread>
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
    // Only then is the memory left after each export read: that waits for the engine's processes.
    bool repeatGiven = false;
    std::optional<QList<double>> rendererLimits;
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
            parsed.repeatGiven = true;
            ++i;
        } else if (arg == QLatin1String("--renderer-limits")) {
            parsed.rendererLimits = numbers(next, 2);
            if (!parsed.rendererLimits)
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

long peakMemoryKiB()
{
    return statusKiB("VmHWM:");
}

// The embedded font programs of a PDF file: FontFile, FontFile2 and FontFile3 streams of the fonts
// its pages use. Only pages and their fonts are read: reading every object of a large export
// (its link annotations above all) took ten times the output's size in memory.
int fontProgramCount(const QString& path)
{
    QPDF pdf;
    pdf.processFile(QFile::encodeName(path).constData());
    // Shared dictionaries are read once; direct ones belong to one page each.
    std::set<QPDFObjGen> seen;
    const auto firstTime = [&seen](QPDFObjectHandle object) {
        return !object.isIndirect() || seen.insert(object.getObjGen()).second;
    };
    int count = 0;
    const auto countDescriptor = [&](QPDFObjectHandle font) {
        QPDFObjectHandle descriptor = font.getKey("/FontDescriptor");
        if (!descriptor.isDictionary() || !firstTime(descriptor))
            return;
        for (const char* key : {"/FontFile", "/FontFile2", "/FontFile3"})
            count += descriptor.getKey(key).isStream() ? 1 : 0;
    };
    for (QPDFPageObjectHelper& page : QPDFPageDocumentHelper(pdf).getAllPages()) {
        QPDFObjectHandle fonts = page.getAttribute("/Resources", false).getKey("/Font");
        if (!fonts.isDictionary() || !firstTime(fonts))
            continue;
        for (auto& [name, font] : fonts.ditems()) {
            countDescriptor(font);
            QPDFObjectHandle descendants = font.getKey("/DescendantFonts");
            if (descendants.isArray())
                for (QPDFObjectHandle descendant : descendants.aitems())
                    countDescriptor(descendant);
        }
    }
    return count;
}

} // namespace

int main(int argc, char** argv)
{
    prepareHeadlessEngine();
    registerITSSScheme();
    QApplication app(argc, argv);

    std::optional<Arguments> arguments = parse(QCoreApplication::arguments());
    if (!arguments) {
        std::fprintf(stderr, "usage: chm-export [--jobs N] [--paper W,H] [--margins L,T,R,B] [--landscape] [--no-links] [--no-toc] "
                             "[--encoding NAME] [--repeat N] [--renderer-limits RETIRE,BUDGET] FILE.chm OUT.pdf\n");
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
    std::atomic<double> samplerCpuMs{0};
    // This process when the last topic was appended (the progress starts again for the links), and
    // its allocator's most bytes in use from then on: what finishing the document adds.
    std::atomic<long> topicsEndKiB{0};
    std::atomic<double> topicsEndHeapMb{0};
    std::atomic<double> peakHeapAfterTopicsMb{0};
    ProcessTree processes;
    QElapsedTimer sampled;
    sampled.start();
    std::thread sampler([&] {
        // A long export tells how far it is every minute on the error output: a run stopped
        // before its end still shows how memory and speed went.
        qint64 lastLine = 0;
        long proportional = 0;
        for (int sample = 0; exporting.load(); ++sample) {
            if (topicsEndKiB.load() != 0)
                peakHeapAfterTopicsMb = std::max(peakHeapAfterTopicsMb.load(), heapInUseMb());
            // The proportional sizes cost the system a walk over every mapping: once a second.
            const TreeUsage usage = processes.usage(sample % 4 == 0);
            peakTreeKiB = std::max(peakTreeKiB.load(), usage.residentKiB);
            peakEngineProcessKiB = std::max(peakEngineProcessKiB.load(), usage.largestEngineKiB);
            if (sample % 4 == 0) {
                proportional = usage.proportionalKiB;
                peakProportionalKiB = std::max(peakProportionalKiB.load(), proportional);
            }
            if (sampled.elapsed() - lastLine >= 60000) {
                lastLine = sampled.elapsed();
                std::fprintf(stderr, "at_s=%lld percent=%d rss_mb=%.1f heap_mb=%.1f with_engine_mb=%.1f with_engine_pss_mb=%.1f "
                                     "largest_engine_process_mb=%.1f cpu_s=%.1f engine_cpu_s=%.1f renderers=%d renderers_started=%d\n",
                             lastLine / 1000, percentShown.load(), static_cast<double>(statusKiB("VmRSS:")) / 1024.0,
                             heapInUseMb(),
                             static_cast<double>(usage.residentKiB) / 1024.0, static_cast<double>(proportional) / 1024.0,
                             static_cast<double>(usage.largestEngineKiB) / 1024.0,
                             (usage.cpuMs - samplerCpuMs.load()) / 1000.0, usage.engineCpuMs / 1000.0, usage.renderers,
                             processes.renderersSeen());
            }
            samplerCpuMs = threadCpuMs();
            std::this_thread::sleep_for(std::chrono::milliseconds(250));
        }
    });
    QElapsedTimer timer;
    timer.start();
    QProgressBar progress;
    TopicClock clock(timer, processes, samplerCpuMs);
    QObject::connect(&progress, &QProgressBar::valueChanged, [&](int value) {
        clock.valueChanged(value);
        // The topics' progress only rises; the links' starts again once the last topic is appended.
        if (topicsEndKiB.load() == 0 && value < percentShown.load()) {
            topicsEndHeapMb = heapInUseMb();
            peakHeapAfterTopicsMb = topicsEndHeapMb.load();
            topicsEndKiB = statusKiB("VmRSS:");
        }
        percentShown = value;
    });
    document.exportProgressIndicator = &progress;
    const double mainCpuAtStart = threadCpuMs();
    const double treeCpuAtStart = processes.usage().cpuMs - samplerCpuMs.load();
    double treeCpuMs = 0;
    std::atomic<qint64> exportsMs{0};
    QStringList afterExports;
    std::thread worker([&] {
        for (int run = 1; run <= arguments->repeat; ++run) {
            const qint64 runStartMs = timer.elapsed();
            {
                // The document's export entry, with the number of jobs set on the exporter.
                const LinkItemList pageList = document.tocSource() != nullptr ? document.tocSource()->pageList() : LinkItemList();
                CHMExporter exporter(document, QUrl::fromLocalFile(arguments->target), pageList, &arguments->options);
                clock.setExporter(&exporter);
                if (!arguments->options.encodingName.isNull())
                    document.setEncodingName(arguments->options.encodingName);
                exporter.setJobs(arguments->jobs);
                if (const auto& limits = arguments->rendererLimits)
                    exporter.setRendererMemoryLimits(static_cast<qint64>((*limits)[0]), static_cast<qint64>((*limits)[1]));
                exporter.initConditionalLock();
                exporter.exportToPDF();
                exporter.lockWhenCondition();
                exporter.releaseLock();
            }
            if (run == 1)
                treeCpuMs = processes.usage().cpuMs - samplerCpuMs.load() - treeCpuAtStart;
            exportsMs += timer.elapsed() - runStartMs;
            if (!arguments->repeatGiven)
                continue;
            // The engine's processes end a moment after their pages and profile are gone.
            std::this_thread::sleep_for(std::chrono::seconds(3));
            const TreeUsage after = processes.usage(true);
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
    clock.finish();
    // The waits for the engine's processes to end after each export are not the export's time.
    const double seconds = static_cast<double>(exportsMs.load()) / 1000.0;
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
    if (topicsEndKiB.load() != 0) {
        std::printf("rss_at_topics_end_mb=%.1f\nheap_at_topics_end_mb=%.1f\npeak_heap_after_topics_mb=%.1f\n"
                    "finish_adds_rss_mb=%.1f\nfinish_adds_heap_mb=%.1f\n",
                    static_cast<double>(topicsEndKiB.load()) / 1024.0, topicsEndHeapMb.load(),
                    peakHeapAfterTopicsMb.load(), static_cast<double>(peakKiB - topicsEndKiB.load()) / 1024.0,
                    peakHeapAfterTopicsMb.load() - topicsEndHeapMb.load());
    }
    // The whole export against the engine's own part of it: loading, laying out and printing.
    const double engineMs = statisticValue(lines, "load_ms") + statisticValue(lines, "layout_ms")
                            + statisticValue(lines, "print_ms");
    const double topics = statisticValue(lines, "topics");
    if (topics > 0)
        std::printf("main_thread_cpu_ms=%.2f\nall_processes_cpu_ms=%.2f\nwall_ms_per_topic=%.2f\n", mainCpuMs / topics,
                    treeCpuMs / topics, seconds * 1000.0 / topics);
    if (engineMs > 0 && topics > 0)
        std::printf("whole_to_engine_ratio=%.2f\n", seconds * 1000.0 / topics / engineMs);
    // What was measured is kept even if reading the output back is stopped.
    std::fflush(stdout);
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
    std::printf("%s", qUtf8Printable(clock.cpuPerTopicAndPage(static_cast<int>(topics))));
    std::printf("renderers_started=%d\n", processes.renderersSeen());
    return pdf ? 0 : 1;
}
