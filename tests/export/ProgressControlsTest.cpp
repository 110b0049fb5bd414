#include "common/ConversionProgressDelegate.h"
#include "common/TomefoldConversionOptions.h"
#include "chm/CHMDocument.h"
#include "support/RecordingDesktop.h"
#include "support/StubProgressDelegate.h"

#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QEventLoop>
#include <QLabel>
#include <QProgressBar>
#include <QTest>
#include <QThread>
#include <gtest/gtest.h>

#include <thread>

namespace {

// A bar that notes the thread and the state it was drawn in.
class WatchedBar : public QProgressBar {
public:
    QStringList paints;
    bool paintedOffMainThread = false;

protected:
    void paintEvent(QPaintEvent* event) override
    {
        paints << (minimum() == maximum() ? QStringLiteral("busy") : QStringLiteral("%1/%2").arg(value()).arg(maximum()));
        paintedOffMainThread |= QThread::currentThread() != thread();
        QProgressBar::paintEvent(event);
    }
};

// The three controls, shown so that every redraw really paints.
class ProgressControls : public testing::Test {
protected:
    void SetUp() override
    {
        m_window.resize(300, 100);
        m_name = new QLabel(&m_window);
        m_notice = new QLabel(&m_window);
        m_bar = new WatchedBar;
        m_bar->setParent(&m_window);
        m_bar->setRange(0, 100);
        m_bar->setGeometry(0, 50, 300, 20);
        m_window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_window));
        m_document.exportFilenameLabel = m_name;
        m_document.exportNoticeLabel = m_notice;
        m_document.exportProgressIndicator = m_bar;
        m_bar->paints.clear();
    }

    QWidget m_window;
    QLabel* m_name = nullptr;
    QLabel* m_notice = nullptr;
    WatchedBar* m_bar = nullptr;
    CHMDocument m_document;
};

} // namespace

TEST_F(ProgressControls, AReportShowsTitlePageCountAndShareAtOnceFromAnyThread)
{
    m_document.exportedProgressRate(0.0, 0, QStringLiteral("Exporting help.chm"));
    EXPECT_EQ(m_name->text(), QStringLiteral("Exporting help.chm"));
    EXPECT_EQ(m_notice->text(), QStringLiteral("0 pages"));
    // Drawn at once, not at some later turn of the event loop.
    EXPECT_EQ(m_bar->paints.value(0), QStringLiteral("0/100"));

    // From a worker the report returns only once the controls show it.
    QEventLoop loop;
    QString shownWhenReturned;
    std::thread worker([&] {
        m_document.exportedProgressRate(62.5, 17, QStringLiteral("Processing help.pdf"));
        shownWhenReturned = m_notice->text();
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec();
    worker.join();
    EXPECT_EQ(shownWhenReturned, QStringLiteral("17 pages"));
    EXPECT_EQ(m_name->text(), QStringLiteral("Processing help.pdf"));
    EXPECT_EQ(m_bar->value(), 62);
    EXPECT_FALSE(m_bar->paintedOffMainThread);
}

TEST_F(ProgressControls, TheSavingStateIsAnAnimatedBarThatTurnsBackToAShare)
{
    m_document.StartProgressIndicatorToIndeterminate();
    EXPECT_EQ(m_bar->paints.value(0), QStringLiteral("busy"));
    m_bar->paints.clear();
    m_document.EndProgressIndicatorToIndeterminate();
    EXPECT_EQ(m_bar->maximum(), 100);
    EXPECT_FALSE(m_bar->paints.isEmpty());
    EXPECT_FALSE(m_bar->paints.contains(QStringLiteral("busy")));
    m_document.SetProgressIndicator(250.0); // never beyond the bar
    EXPECT_EQ(m_bar->paints.last(), QStringLiteral("100/100"));
}

TEST_F(ProgressControls, TheDelegateIsAskedAboutACancelAtEachReport)
{
    StubProgressDelegate delegate;
    m_document.mainTomefoldAppDelegateObject = &delegate;
    m_document.exportedProgressRate(10, 1, QStringLiteral("t"));
    EXPECT_FALSE(m_document.m_isConversionCancelled);
    delegate.cancel = true;
    m_document.exportedProgressRate(20, 2, QStringLiteral("t"));
    EXPECT_TRUE(m_document.m_isConversionCancelled);
    // The report still shows.
    EXPECT_EQ(m_notice->text(), QStringLiteral("2 pages"));
}

TEST(ProgressWithoutControls, ReportsAndSheetActionsDoNothingVisible)
{
    CHMDocument document;
    document.exportedProgressRate(50, 3, QStringLiteral("t"));
    document.StartProgressIndicatorToIndeterminate();
    document.EndProgressIndicatorToIndeterminate();
    document.showExportProgressSheet();
    document.endExportProgressSheet();
    EXPECT_FALSE(document.m_isConversionCancelled);

    QWidget window;
    QDialog sheet(&window);
    document.exportProgressSheet = &sheet;
    window.show();
    document.showExportProgressSheet();
    EXPECT_TRUE(sheet.isVisible());
    EXPECT_EQ(sheet.windowModality(), Qt::WindowModal);
    document.endExportProgressSheet();
    EXPECT_FALSE(sheet.isVisible());
}

TEST(DocumentWithoutExport, ExportsNothingAndAsksForNoDestination)
{
    // No export provider was handed to the document: neither road exports, and neither fails.
    QTemporaryDir folder;
    const QString target = folder.filePath(QStringLiteral("out.pdf"));
    CHMDocument document;
    TomefoldConversionOptions options;
    document.exportToPDF(QUrl::fromLocalFile(target), &options);
    EXPECT_FALSE(QFileInfo::exists(target));

    QWidget window;
    document.documentWindow = &window;
    document.exportToPDF();
    EXPECT_TRUE(window.findChildren<QFileDialog*>().isEmpty());
    EXPECT_FALSE(document.isReaderExportRunning());
}

TEST(ExportDidEnd, OpensTheFolderOrTheFileOrNothing)
{
    const RecordingDesktop desktop;
    CHMDocument document;
    const QUrl file = QUrl::fromLocalFile(QStringLiteral("/tmp/out/help.pdf"));
    document.exportDidEnd(-1, file);
    document.exportDidEnd(0, file);
    document.exportDidEnd(1, file);
    EXPECT_EQ(desktop.opened(), QList<QUrl>({QUrl(QStringLiteral("file:///tmp/out")),
                                            QUrl(QStringLiteral("file:///tmp/out/help.pdf"))}));
}
