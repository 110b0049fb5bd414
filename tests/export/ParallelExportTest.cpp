#include "ExportTestSupport.h"
#include "support/PdfLinkTestFiles.h"
#include "support/PdfReadBack.h"
#include "common/TomefoldConversionOptions.h"
#include "chm/CHMDocument.h"
#include "chm/CHMTableOfContent.h"
#include "chm/ITSSScheme.h"
#include "export/CHMExporter.h"
#include "support/HangGuard.h"
#include "support/RecordingDesktop.h"
#include "support/StubProgressDelegate.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QThread>
#include <QWebEngineView>
#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <utility>
#include <thread>

using namespace PdfLinkTestFiles;

void registerTestUrlSchemes()
{
    registerITSSScheme();
}

namespace {

// Processes of the web engine that this process started beyond its first helpers: the renderers.
int engineRenderers()
{
    std::map<long, long> parentOf;
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool isPid = false;
        const long pid = entry.toLong(&isPid);
        QFile stat(QStringLiteral("/proc/%1/stat").arg(entry));
        if (!isPid || !stat.open(QIODevice::ReadOnly))
            continue;
        // pid (name) state ppid ...: the name may hold spaces, the fields after it do not.
        const QByteArray line = stat.readAll();
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 1)
            parentOf[pid] = fields[1].toLong();
    }
    const long self = QCoreApplication::applicationPid();
    int renderers = 0;
    for (const auto& [pid, parent] : parentOf) {
        const auto grandparent = parentOf.find(parent);
        if (parent != self && grandparent != parentOf.end() && grandparent->second == self)
            ++renderers;
    }
    return renderers;
}

int webViews()
{
    int views = 0;
    for (QWidget* widget : QApplication::allWidgets())
        views += qobject_cast<QWebEngineView*>(widget) != nullptr ? 1 : 0;
    return views;
}

// Runs the event loop until the condition holds or a generous bound has passed; true when it holds.
template <typename Condition>
bool eventually(Condition condition)
{
    for (int round = 0; round < 600; ++round) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        if (condition())
            return true;
        QThread::msleep(50);
    }
    return condition();
}

class ParallelExport : public testing::Test {
protected:
    void TearDown() override { EXPECT_TRUE(m_desktop.opened().isEmpty()); }

    QString outputPath(const QString& name) const { return m_folder.filePath(name + QStringLiteral(".pdf")); }

    // Exports the fixture as the batch does, from a worker thread while the main thread serves,
    // with `jobs` topics in the engine at once. Returns the file written, empty when none was.
    QByteArray exportFixture(const QString& fixture, int jobs, ConversionProgressDelegate* delegate = nullptr,
                             std::optional<std::pair<qint64, qint64>> rendererLimits = std::nullopt,
                             QProgressBar* progress = nullptr)
    {
        CHMDocument document;
        EXPECT_TRUE(document.readFromURL(QUrl::fromLocalFile(TestSupport::fixturePath(fixture)), QStringLiteral("CHM")));
        document.mainTomefoldAppDelegateObject = delegate;
        document.exportProgressIndicator = progress;
        TomefoldConversionOptions options = letterOptions();
        const QString target = outputPath(QStringLiteral("%1-%2").arg(fixture).arg(jobs));
        const HangGuard guard(std::chrono::seconds(180), "export of " + fixture.toStdString());
        QEventLoop loop;
        std::thread worker([&] {
            CHMExporter exporter(document, QUrl::fromLocalFile(target), document.tocSource()->pageList(), &options);
            exporter.setJobs(jobs);
            if (rendererLimits)
                exporter.setRendererMemoryLimits(rendererLimits->first, rendererLimits->second);
            exporter.initConditionalLock();
            exporter.exportToPDF();
            exporter.lockWhenCondition();
            exporter.releaseLock();
            m_lastStatistics = exporter.statistics();
            QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
        });
        loop.exec();
        worker.join();
        QFile file(target);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // Exports on this thread with the automatic jobs, every renderer past its limits.
    QByteArray exportOnMainThread(const QString& fixture, ConversionProgressDelegate* delegate, QProgressBar* progress)
    {
        CHMDocument document;
        EXPECT_TRUE(document.readFromURL(QUrl::fromLocalFile(TestSupport::fixturePath(fixture)), QStringLiteral("CHM")));
        document.mainTomefoldAppDelegateObject = delegate;
        document.exportProgressIndicator = progress;
        TomefoldConversionOptions options = letterOptions();
        const QString target = outputPath(fixture + QStringLiteral("-main"));
        const HangGuard guard(std::chrono::seconds(180), "export on the main thread of " + fixture.toStdString());
        {
            CHMExporter exporter(document, QUrl::fromLocalFile(target), document.tocSource()->pageList(), &options);
            exporter.setRendererMemoryLimits(1, 1);
            exporter.initConditionalLock();
            exporter.exportToPDF();
            exporter.lockWhenCondition();
            exporter.releaseLock();
            m_lastStatistics = exporter.statistics();
        }
        QFile file(target);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    ExportStatistics m_lastStatistics;
    QTemporaryDir m_folder;
    RecordingDesktop m_desktop;
};

void expectSameOutline(const std::vector<ReadOutline>& one, const std::vector<ReadOutline>& other, const QString& where)
{
    ASSERT_EQ(one.size(), other.size()) << where.toStdString();
    for (std::size_t i = 0; i < one.size(); ++i) {
        const QString entry = where + QStringLiteral("/") + one[i].title;
        EXPECT_EQ(one[i].title, other[i].title) << entry.toStdString();
        EXPECT_EQ(one[i].destPage, other[i].destPage) << entry.toStdString();
        EXPECT_EQ(one[i].destPoint, other[i].destPoint) << entry.toStdString();
        expectSameOutline(one[i].children, other[i].children, entry);
    }
}

// The same document as a reader sees it: pages in order with their text, every link and its
// target, every outline entry and its target, and about the same size.
void expectSameDocument(const QByteArray& one, const QByteArray& other)
{
    ASSERT_GT(PdfReadBack::pageCount(one), 0);
    ASSERT_EQ(PdfReadBack::pageCount(one), PdfReadBack::pageCount(other));
    EXPECT_EQ(PdfReadBack::pageTexts(one), PdfReadBack::pageTexts(other));
    for (int page = 0; page < PdfReadBack::pageCount(one); ++page) {
        const std::vector<ReadAnnotation> links = annotationsOfPage(one, page);
        const std::vector<ReadAnnotation> otherLinks = annotationsOfPage(other, page);
        ASSERT_EQ(links.size(), otherLinks.size()) << "page " << page;
        for (std::size_t i = 0; i < links.size(); ++i) {
            EXPECT_EQ(links[i].subtype, otherLinks[i].subtype) << "page " << page << " link " << i;
            EXPECT_EQ(links[i].uri, otherLinks[i].uri) << "page " << page << " link " << i;
            EXPECT_EQ(links[i].destPage, otherLinks[i].destPage) << "page " << page << " link " << i;
            EXPECT_EQ(links[i].destPoint, otherLinks[i].destPoint) << "page " << page << " link " << i;
            EXPECT_EQ(links[i].hasNamedDest, otherLinks[i].hasNamedDest) << "page " << page << " link " << i;
        }
    }
    expectSameOutline(outlineOf(one), outlineOf(other), QString());
    EXPECT_NEAR(static_cast<double>(other.size()), static_cast<double>(one.size()), one.size() * 0.01);
}

} // namespace

TEST_F(ParallelExport, FourTopicsAtOnceWriteTheSameDocumentAsOneAtATime)
{
    for (const char* fixture : {"export-basic", "export-links", "export-anchors", "export-frames", "export-five"}) {
        SCOPED_TRACE(fixture);
        const QByteArray one = exportFixture(QString::fromLatin1(fixture), 1);
        EXPECT_EQ(m_lastStatistics.jobs, 1);
        EXPECT_EQ(m_lastStatistics.peakTopicsWaiting, 0);
        const QByteArray four = exportFixture(QString::fromLatin1(fixture), 4);
        EXPECT_EQ(m_lastStatistics.jobs, 4);
        EXPECT_LE(m_lastStatistics.peakTopicsAtWork, 4);
        EXPECT_LT(m_lastStatistics.peakTopicsWaiting, 2 * 4 - 1);
        expectSameDocument(one, four);
    }
}

TEST_F(ParallelExport, RenderersPastTheirLimitAreReplacedAndNoTopicStartsPastTheBudget)
{
    const QByteArray plain = exportFixture(QStringLiteral("export-five"), 4);
    EXPECT_EQ(m_lastStatistics.viewsRetiredForMemory, 0);
    EXPECT_EQ(m_lastStatistics.startsHeldForMemory, 0);
    EXPECT_GT(m_lastStatistics.peakTopicsAtWork, 1);

    // Every renderer is past a limit of one byte: each view serves one topic, and once the views
    // have renderers past the budget, a topic starts only when none is at work. The document is
    // the same.
    const int renderersBefore = engineRenderers();
    const QByteArray limited = exportFixture(QStringLiteral("export-five"), 4, nullptr, std::make_pair(1LL, 1LL));
    EXPECT_EQ(m_lastStatistics.viewsRetiredForMemory, m_lastStatistics.topics);
    EXPECT_GT(m_lastStatistics.startsHeldForMemory, 0);
    EXPECT_LE(m_lastStatistics.peakTopicsAtWork, 4);
    expectSameDocument(plain, limited);
    // The replaced views took their renderers with them.
    EXPECT_TRUE(eventually([&] { return engineRenderers() <= renderersBefore; }))
        << engineRenderers() << " renderers left, " << renderersBefore << " before";

    // No renderer comes near a limit of a terabyte, but four of them share a budget of four bytes:
    // each is past its share once its topic is done, and is replaced before it holds the others back.
    const QByteArray shared = exportFixture(QStringLiteral("export-five"), 4, nullptr, std::make_pair(1LL << 40, 4LL));
    EXPECT_EQ(m_lastStatistics.viewsRetiredForMemory, m_lastStatistics.topics);
    expectSameDocument(plain, shared);
}

TEST_F(ParallelExport, AViewRetiredAfterEveryTopicWhileProgressIsShownEndsTheExportWhole)
{
    // Every renderer is past a limit of one byte: each view is replaced after its topic, while the
    // progress controls are updated and the cancel is asked about at every report; on the batch's
    // road (a worker thread waits) and on the reader's (the main thread runs the export and waits).
    QProgressBar progress;
    StubProgressDelegate delegate;
    const QByteArray plain = exportFixture(QStringLiteral("export-moving"), 4);
    const int pages = PdfReadBack::pageCount(plain);
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        const QByteArray retired =
            exportFixture(QStringLiteral("export-moving"), 4, &delegate, std::make_pair(1LL, 1LL), &progress);
        EXPECT_EQ(m_lastStatistics.viewsRetiredForMemory, m_lastStatistics.topics);
        EXPECT_EQ(PdfReadBack::pageCount(retired), pages);
        const QByteArray onMain = exportOnMainThread(QStringLiteral("export-moving"), &delegate, &progress);
        EXPECT_EQ(m_lastStatistics.viewsRetiredForMemory, m_lastStatistics.topics);
        EXPECT_EQ(PdfReadBack::pageCount(onMain), pages);
    }
}

TEST_F(ParallelExport, NoViewIsLeftWhileTheLinksAreResolvedAndTheDocumentIsWritten)
{
    // The topics' progress only rises; the links' starts again once every topic is appended.
    QProgressBar progress;
    int shown = -1;
    std::optional<int> viewsWhenFinishing;
    QObject::connect(&progress, &QProgressBar::valueChanged, [&](int value) {
        if (!viewsWhenFinishing && value < shown)
            viewsWhenFinishing = webViews();
        shown = value;
    });
    const QByteArray written = exportFixture(QStringLiteral("export-five"), 4, nullptr, std::nullopt, &progress);
    EXPECT_GT(m_lastStatistics.peakTopicsAtWork, 1);
    ASSERT_TRUE(viewsWhenFinishing.has_value());
    EXPECT_EQ(*viewsWhenFinishing, 0);
    // The document is whole all the same.
    EXPECT_GE(PdfReadBack::pageCount(written), m_lastStatistics.topics);
}

TEST_F(ParallelExport, ATopicThatNeverLoadsHoldsUpOnlyItsOwnView)
{
    // The topics after the hanging one are printed while it hangs and wait for their turn, more of
    // them than there are other views: a view whose topic is done takes the next at once. Once the
    // hanging topic is given up, the export goes on in order.
    const QByteArray pdf = exportFixture(QStringLiteral("export-hang-ahead"), 4);
    QStringList texts{QStringLiteral("Before the hang")};
    for (int after = 1; after <= 8; ++after)
        texts << QStringLiteral("After the hang %1").arg(after);
    EXPECT_EQ(PdfReadBack::pageTexts(pdf), texts);
    EXPECT_EQ(m_lastStatistics.topics, 10);
    EXPECT_GE(m_lastStatistics.peakTopicsWaiting, 4);
    EXPECT_LT(m_lastStatistics.peakTopicsWaiting, 2 * 4 - 1);
    EXPECT_LE(m_lastStatistics.peakTopicsAtWork, 4);
}

TEST_F(ParallelExport, CancelWithTopicsInFlightLeavesNoFileViewOrRenderer)
{
    const int renderersBefore = engineRenderers();
    // Asked at the third topic's report: that topic is still appended, those after it are dropped.
    CancellingDelegate delegate(3);
    const QByteArray written = exportFixture(QStringLiteral("export-five"), 4, &delegate);
    EXPECT_TRUE(written.isEmpty());
    EXPECT_EQ(m_lastStatistics.topics, 3);
    EXPECT_TRUE(QDir(m_folder.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
    EXPECT_TRUE(eventually([] { return webViews() == 0; })) << webViews() << " views left";
    EXPECT_TRUE(eventually([&] { return engineRenderers() <= renderersBefore; }))
        << engineRenderers() << " renderers left, " << renderersBefore << " before";
}

TEST_F(ParallelExport, CancelAskedBeforeTheFirstTopicStartsStillEndsAfterIt)
{
    // The cancel is seen at the first report, before any view has taken a topic: the first topic
    // is printed and appended as when topics go one at a time, then the export ends unwritten.
    CancellingDelegate delegate(1);
    const QByteArray written = exportFixture(QStringLiteral("export-five"), 4, &delegate);
    EXPECT_TRUE(written.isEmpty());
    EXPECT_EQ(m_lastStatistics.topics, 1);
    EXPECT_TRUE(QDir(m_folder.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
}
