#pragma once

#include "chm/LinkItem.h"
#include "common/PrintTimeLimit.h"
#include "export/AnchorPlacement.h"
#include "export/LinkDestinationItem.h"
#include "export/ExportPrintSettings.h"
#include "export/ExportStatistics.h"
#include "platform/PdfDocumentInformation.h"
#include "platform/PdfLink.h"
#include "platform/ConditionLock.h"

#include <QElapsedTimer>
#include <QHash>
#include <QSet>
#include <QString>
#include <QUrl>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class CHMDocument;
class QThreadPool;
class CHMWebProfile;
class OffscreenWebPage;
class PdfDocument;
class PrintedTopic;
struct RendererLoad;
class SerialOperationQueue;
class TopicPrintQueue;
class TopicText;
struct TopicAnchor;
struct TopicPrintout;
struct TopicSlot;
struct TomefoldConversionOptions;

// Turns one open CHM document into one PDF file: every topic, in order, is loaded in an off-screen
// page, printed, stripped of blank pages and appended to the output document, which is written
// once the last topic is done.
//
// The export is a chain of steps on the main thread. Up to jobs() topics are in the engine at
// once, each in a view of its own (loading, layout and printing overlap); what follows the page
// list's order (anchors, appending, page numbers, progress) happens topic after topic as each
// one's turn comes: exportToPDF reports the current topic, its printout is appended once it is
// ready, and the step advances and calls exportToPDF again. The caller starts it and waits on the
// completion lock, which opens when the export has ended.
class CHMExporter {
public:
    enum class Outcome {
        Running,
        Written,
        NothingToWrite,
        Cancelled,
        WriteFailed
    };

    // How long one topic may take to load or to print before it is given up.
    static constexpr std::chrono::milliseconds kTopicLoadTimeout{20000};
    static constexpr std::chrono::milliseconds kTopicPrintTimeout = PrintTimeLimit::kBase;
    // A topic's scripts are off while it prints, so a long print is slow, not held: the limit
    // grows with the sheets the topic's laid-out height fills, up to a cap that still ends a print
    // the engine never finishes.
    static std::chrono::milliseconds topicPrintTimeout(double sheets);
    // The tallest a topic's frames grow, in points.
    static constexpr double kMaximumFrameHeight = 400000.0;
    // A renderer keeps much of what a long topic needed after it is printed, and a view serves
    // topic after topic: a view whose renderer has grown past this, or past its share of the
    // budget below with several jobs, is replaced after its topic, which ends that process.
    static constexpr qint64 kRendererRetireBytes = 384LL << 20;
    // While the renderers hold more than this together, no further topic starts until one ends
    // (one topic is always at work): long topics side by side cannot take the machine's memory.
    static constexpr qint64 kRenderersBudgetBytes = 1LL << 30;

    // options may be null: the default print settings, with hyperlinks and outline exported.
    CHMExporter(CHMDocument& document, const QUrl& fileURL, const LinkItemList& pageList,
                const TomefoldConversionOptions* options);
    ~CHMExporter();
    CHMExporter(const CHMExporter&) = delete;
    CHMExporter& operator=(const CHMExporter&) = delete;

    // The process-wide serial queue of link resolution.
    static SerialOperationQueue& SharedOperationQueue();

    // True when the page list already holds an item naming the same page as path.
    bool FindPageInsidePageList(const QString& path) const;
    // Appends an item for path unless the path is null, empty or already listed.
    void CheckNInsertPath(const QString& path);

    void initConditionalLock();
    // Waits until the export has ended. On the main thread the event loop keeps running meanwhile.
    void lockWhenCondition();
    void unlockWithCondition();
    void releaseLock();

    // Starts or continues the export.
    void exportToPDF();

    // How many topics may be in the engine at once: one less than the processors this process
    // may run on, at least 1 and at most 6.
    static int automaticJobs();
    // Set before the export starts; values below 1 count as 1.
    void setJobs(int jobs);
    int jobs() const { return m_jobs; }
    // Set before the export starts; the defaults are the constants above.
    void setRendererMemoryLimits(qint64 retireBytes, qint64 budgetBytes)
    {
        m_rendererRetireBytes = retireBytes;
        m_renderersBudgetBytes = budgetBytes;
    }

    const LinkItemList& pageList() const { return m_pageList; }
    const ExportPrintSettings& printSettings() const { return m_printSettings; }
    bool exportsHyperlinks() const { return m_ExportHyperlinks; }
    bool exportsTOC() const { return m_ExportTOC; }
    int pageCount() const { return m_pageCount; }
    Outcome outcome() const { return m_outcome; }
    // Why the file could not be written (Outcome::WriteFailed).
    const QString& writeError() const { return m_writeError; }
    const ExportStatistics& statistics() const { return m_statistics; }

    // Destinations by key (lower-cased "itss://chm/path[#anchor]"), and in creation order.
    using LinkDestinationPtr = std::shared_ptr<LinkDestinationItem>;
    const QHash<QString, LinkDestinationPtr>& linkDestinationList() const { return m_linkDestinationList; }
    const std::vector<LinkDestinationPtr>& linkDestinationListArray() const { return m_linkDestinationListArray; }
    // The output place of the destination a printed link URL or an outline entry's URL leads to;
    // none when it was never put on a page (a link to it is removed and an outline entry for it is
    // a plain label rather than a jump to page one).
    std::optional<PdfDestination> placedDestinationForPath(const QString& urlString) const;

    // Reader road (no completion lock): called on the main thread once the export has ended and
    // the exporter is no longer used, so the handler may destroy it.
    void setExportEndedHandler(std::function<void()> handler) { m_exportEnded = std::move(handler); }
    // The alert that tells of a written file and offers to open it.
    void AlertOnSuccessConversion();

    // The last progress shown (the reports and the saving state), for callers without controls.
    struct Progress {
        double rate = 0;
        int pageIndex = 0;
        QString title;
        int reports = 0;
    };
    const Progress& lastProgress() const { return m_lastProgress; }

private:
    // Page list (CHMExporterPageList.cpp).
    void addHomeTopic();
    void addUnlistedTopics();
    static QString pageKey(const QString& path);

    // Topic chain (CHMExporterTopics.cpp): one topic in one view, then its turn in order.
    void initWebView(TopicSlot& slot);
    void retireWebView(TopicSlot& slot);
    void webViewLoadRequestOnMainThread(TopicSlot& slot);
    void webViewDidFinishLoad(TopicSlot& slot, bool succeeded);
    void prepareTopicForPrint(TopicSlot& slot, int attempt);
    void printTopic(TopicSlot& slot, std::chrono::milliseconds limit);
    void topicPrinted(TopicSlot& slot, const QByteArray& printed);
    bool endTopicIfExportEnded(TopicSlot& slot);
    void appendTopic(TopicPrintout printout);
    void appendPrintedPages(const std::shared_ptr<PrintedTopic>& topic);
    void finishTopic();

    // Topics in flight (CHMExporterSlots.cpp): free views take the next topics, and printouts
    // are appended in page-list order.
    void continueTopicsInFlight();
    void startTopic(TopicSlot& slot, std::size_t topic);
    TopicSlot& freeSlot();
    void topicDone(TopicSlot& slot, TopicPrintout printout);
    // Opens the printed PDF and reads its pages on another thread, then queues the printout.
    void preparePrintout(std::size_t topic, TopicPrintout printout);
    void printoutReady(std::size_t topic, TopicPrintout printout);
    void appendTopicsInTurn();
    void stopTopicsInFlight();
    int topicsAtWork() const;
    // The memory of the engine's processes that render the export's views, each counted once.
    RendererLoad rendererLoad() const;
    // Views without a topic give their renderers back while a long topic needs the memory.
    void retireIdleViews();
    // A view let go by retireWebView is gone: what waited for the views goes on.
    void viewGone();
    bool isExportRunning() const { return m_outcome == Outcome::Running; }

    // Anchors of a topic: the text and named places of the page, and where they fall on the
    // appended pages. readTopicText runs in the topic's view right after its print;
    // collectAnchors records the destinations when the topic's turn comes.
    void readTopicText(TopicSlot& slot, std::function<void(TopicText)> done);
    void collectAnchors(TopicText text);
    void beginAnchorPlacement(const PrintedTopic& printed);
    void placeAnchorsOnPage(const PrintedTopic& printed, int pageIndex);
    void passOverAnchorsOnPage(const PrintedTopic& printed, int pageIndex);
    void endTopicAnchors();
    // The destination of the current topic itself, and of its named elements; the new ones are
    // added to pending.
    LinkDestinationPtr AddDestinationForEachPage();
    void addAnchorDestinations(const std::vector<TopicAnchor>& anchors,
                               std::vector<AnchorPlacement::PendingDestination>& pending);

    // Finishing (CHMExporterFinish.cpp).
    void finishExport();
    bool ResolveDestination();
    // The internal links of one output page; runs on SharedOperationQueue().
    void ResolveDestination(int pageIndex);
    void GenerateTableOfContents();
    void WritePDFData();
    void endExport();
    void releaseWhenTopicsRest();
    void releaseWebObjects();

    // Progress (CHMExporterProgress.cpp).
    void reportProgress(double rate, int pageIndex, const QString& title);

    CHMDocument& m_document;
    std::size_t m_curPageId = 0;
    int m_pageCount = 0;
    LinkItemList m_pageList;
    QSet<QString> m_listedPages; // page keys of m_pageList
    ExportPrintSettings m_printSettings;
    std::unique_ptr<PdfDocument> m_pdfDocument;
    QUrl m_fileURL;
    bool m_ExportHyperlinks = true;
    bool m_ExportTOC = true;
    // Written into the output's document information and XMP metadata: the fields the user typed.
    PdfDocumentInformation m_documentInformation;
    std::unique_ptr<ConditionLock> m_condLock;
    std::function<void()> m_wakeWaitingMainThread;

    // Web objects live on the main thread; the pages go before the profile they use.
    // Shared with the views being let go, which may outlive the exporter: the profile goes after them.
    std::shared_ptr<CHMWebProfile> m_webProfile;
    std::vector<std::unique_ptr<TopicSlot>> m_slots;
    // Views hidden and not yet destroyed (OffscreenWebPage::letGo). The links are resolved, and
    // the export's end is told, only once they are gone; finishing waits for them when set.
    int m_viewsLettingGo = 0;
    bool m_finishWhenViewsGone = false;
    int m_jobs = automaticJobs();
    qint64 m_rendererRetireBytes = kRendererRetireBytes;
    qint64 m_renderersBudgetBytes = kRenderersBudgetBytes;
    std::unique_ptr<TopicPrintQueue> m_printQueue; // made with the first view
    // Printouts are opened and read here, off the main thread, one PDF core document per thread.
    std::unique_ptr<QThreadPool> m_printoutPool;
    // Held while the export's main-thread objects are in use: what the pool hands back after they
    // are gone is dropped.
    std::shared_ptr<int> m_printoutsWanted = std::make_shared<int>(0);

    QHash<QString, LinkDestinationPtr> m_linkDestinationList;
    std::vector<LinkDestinationPtr> m_linkDestinationListArray;
    AnchorPlacement m_topicAnchors; // the current topic's text and pending destinations

    std::function<void()> m_exportEnded;

    Outcome m_outcome = Outcome::Running;
    QString m_writeError;
    // From the export's end until its web objects are released.
    bool m_endingExport = false;
    ExportStatistics m_statistics;
    QElapsedTimer m_phaseTimer;
    Progress m_lastProgress;
};
