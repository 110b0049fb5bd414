#pragma once

#include "chm/LinkItem.h"
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
class CHMWebProfile;
class OffscreenWebPage;
class PdfDocument;
class PrintedTopic;
class SerialOperationQueue;
struct TopicAnchor;
struct TomefoldConversionOptions;

// Turns one open CHM document into one PDF file: every topic, in order, is loaded in an off-screen
// page, printed, stripped of blank pages and appended to the output document, which is written
// once the last topic is done.
//
// The export is a chain of steps on the main thread: exportToPDF schedules the current topic's
// load; the load's end prints the topic, appends its pages, advances and calls exportToPDF again.
// The caller starts it and waits on the completion lock, which opens when the export has ended.
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
    static constexpr std::chrono::milliseconds kTopicPrintTimeout{60000};
    // The tallest a topic's frames grow, in points.
    static constexpr double kMaximumFrameHeight = 400000.0;

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

    const LinkItemList& pageList() const { return m_pageList; }
    const ExportPrintSettings& printSettings() const { return m_printSettings; }
    bool exportsHyperlinks() const { return m_ExportHyperlinks; }
    bool exportsTOC() const { return m_ExportTOC; }
    int pageCount() const { return m_pageCount; }
    Outcome outcome() const { return m_outcome; }
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

    // Topic chain (CHMExporterTopics.cpp).
    void initWebView();
    void retireWebView();
    void webViewLoadRequestOnMainThread(const QUrl& url);
    void webViewDidFinishLoad(bool succeeded);
    void prepareTopicForPrint(int attempt);
    void printTopic();
    void topicPrinted(const QByteArray& printed);
    void appendPrintedPages(const QByteArray& printed);
    void finishTopic();

    // Anchors of a topic: the text and named places of the page, and where they fall on the
    // appended pages. collectAnchors runs after a successful print and calls next when done.
    void collectAnchors(const std::function<void()>& next);
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
    std::unique_ptr<CHMWebProfile> m_webProfile;
    std::shared_ptr<OffscreenWebPage> m_webView;
    // False once a topic's load, layout or print failed in the view: the next topic gets a new one.
    bool m_webViewUsable = false;
    QUrl m_topicUrl;

    QHash<QString, LinkDestinationPtr> m_linkDestinationList;
    std::vector<LinkDestinationPtr> m_linkDestinationListArray;
    AnchorPlacement m_topicAnchors; // the current topic's text and pending destinations

    std::function<void()> m_exportEnded;

    Outcome m_outcome = Outcome::Running;
    ExportStatistics m_statistics;
    QElapsedTimer m_phaseTimer;
    Progress m_lastProgress;
};
