#include "export/ExportStatistics.h"

Q_LOGGING_CATEGORY(lcExportStatistics, "tomefold.export.statistics", QtWarningMsg)

QString ExportStatistics::keyValueLines(int pages) const
{
    const double perTopic = topics > 0 ? 1.0 / topics : 0.0;
    QString lines;
    const auto add = [&lines](const char* key, double value) {
        lines += QStringLiteral("%1=%2\n").arg(QLatin1String(key)).arg(value, 0, 'f', 2);
    };
    lines += QStringLiteral("topics=%1\nunprinted_topics=%2\npages=%3\n").arg(topics).arg(unprintedTopics).arg(pages);
    add("load_ms", loadMs * perTopic);
    add("layout_ms", layoutMs * perTopic);
    add("print_ms", printMs * perTopic);
    add("anchors_ms", anchorsMs * perTopic);
    add("blank_ms", blankMs * perTopic);
    add("append_ms", appendMs * perTopic);
    add("links_ms", linksMs * perTopic);
    add("outline_ms", outlineMs * perTopic);
    add("write_ms", writeMs * perTopic);
    lines += QStringLiteral("jobs=%1\nwaiting_peak=%2\n").arg(jobs).arg(peakTopicsWaiting);
    lines += QStringLiteral("at_work_peak=%1\nviews_retired_for_memory=%2\nstarts_held_for_memory=%3\n")
                 .arg(peakTopicsAtWork)
                 .arg(viewsRetiredForMemory)
                 .arg(startsHeldForMemory);
    return lines;
}
