#pragma once

#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QString>

// The statistics of every export, as key=value lines at info level (off unless enabled).
Q_DECLARE_LOGGING_CATEGORY(lcExportStatistics)

// Where an export's time goes, summed over its topics, in milliseconds.
struct ExportStatistics {
    int topics = 0;                // topics handled (loaded or given up)
    int unprintedTopics = 0;       // topics that loaded but whose print failed or gave nothing readable
    double loadMs = 0;             // making the page and loading the topic
    double layoutMs = 0;           // laying frames and wide content out for print
    double printMs = 0;            // printing to PDF
    double anchorsMs = 0;          // reading the topic's text and anchors, and placing them on its pages
    double blankMs = 0;            // opening the printed PDF and testing its pages for blankness
    double appendMs = 0;           // copying pages into the output document
    double linksMs = 0;            // pointing the internal links at their destinations
    double outlineMs = 0;          // building the outline
    double writeMs = 0;            // writing the output file
    int jobs = 1;                  // topics in the engine at once, at most
    int peakTopicsWaiting = 0;     // the most printed topics held until their turn came
    int peakTopicsAtWork = 0;      // the most topics in the engine at once
    int viewsRetiredForMemory = 0; // views replaced because their renderer had grown too large
    int startsHeldForMemory = 0;   // times a topic waited to start because the renderers held too much

    // "key=value" lines: topics, pages, then the mean time of each phase per topic.
    QString keyValueLines(int pages) const;
};

// The time a timer has measured, in the statistics' unit.
inline double elapsedMs(const QElapsedTimer& timer)
{
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}
