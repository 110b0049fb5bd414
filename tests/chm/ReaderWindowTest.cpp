#include "chm/CHMDocument.h"
#include "chm/ITSSScheme.h"
#include "chm/reader/CHMReaderWindow.h"
#include "chm/reader/FilesInfoPreferences.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QCoreApplication>
#include <QEventLoop>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QSettings>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <gtest/gtest.h>

void registerTestUrlSchemes()
{
    registerITSSScheme();
}

namespace {

constexpr int kGenerousWaitMs = 60000;

class ReaderWindowTest : public testing::Test {
protected:
    void SetUp() override
    {
        QStandardPaths::setTestModeEnabled(true);
        QCoreApplication::setOrganizationName(QStringLiteral("org.tomefold.ReaderWindowTest"));
        QSettings().clear();
    }
    void TearDown() override
    {
        m_window.reset();
        QSettings().clear();
    }

    // Opens the fixture in a window and waits for its first topic.
    void open(const QString& fixture)
    {
        const QString path = TestSupport::fixturePath(fixture);
        ASSERT_TRUE(m_document.readFromURL(QUrl::fromLocalFile(path), QStringLiteral("CHM")));
        m_window = std::make_unique<CHMReaderWindow>(m_document);
        QSignalSpy loaded(m_window.get(), &CHMReaderWindow::topicLoaded);
        m_window->show();
        ASSERT_TRUE(loaded.wait(kGenerousWaitMs));
    }

    // Runs `step` and waits for the topic it loads.
    QUrl loadBy(const std::function<void()>& step)
    {
        QSignalSpy loaded(m_window.get(), &CHMReaderWindow::topicLoaded);
        step();
        EXPECT_TRUE(loaded.wait(kGenerousWaitMs));
        return loaded.isEmpty() ? QUrl() : loaded.first().first().toUrl();
    }

    QVariant evaluate(const QString& script)
    {
        QVariant result;
        bool done = false;
        QEventLoop loop;
        m_window->curWebView()->page()->runJavaScript(script, [&](const QVariant& value) {
            result = value;
            done = true;
            loop.quit();
        });
        if (!done) {
            QTimer::singleShot(kGenerousWaitMs, &loop, &QEventLoop::quit);
            loop.exec();
        }
        return result;
    }

    int highlightCount() { return evaluate(QStringLiteral("document.querySelectorAll('.tomefold-highlight').length")).toInt(); }
    QString fileKey(const QString& key) { return FilesInfoPreferences::getPreferenceforFile(m_document.filePath(), key).toString(); }
    QString currentTabLabel() const { return m_window->docTabView()->tabText(m_window->docTabView()->currentIndex()); }

    CHMDocument m_document;
    std::unique_ptr<CHMReaderWindow> m_window;
};

TEST_F(ReaderWindowTest, OpensOnHomeLocatesItAndRemembersTheLastPath)
{
    open(QStringLiteral("chm-reader"));
    EXPECT_EQ(m_window->currentURL().path(), QStringLiteral("/home.htm"));
    EXPECT_EQ(currentTabLabel(), QStringLiteral("Home"));
    EXPECT_EQ(fileKey(CHMReaderWindow::kLastPathKey), QStringLiteral("home.htm"));
    EXPECT_EQ(fileKey(CHMReaderWindow::kSearchTypeKey), QStringLiteral("file"));
    EXPECT_EQ(m_window->tocView()->currentIndex().data().toString(), QStringLiteral("Home"));
    EXPECT_TRUE(m_window->historyAction(0)->isEnabled());
    EXPECT_FALSE(m_window->historyAction(1)->isEnabled());
    EXPECT_TRUE(m_window->isSidebarRestored());
}

TEST_F(ReaderWindowTest, ReopensOnTheLastPathAndGoesToTheNextPageWithoutSelection)
{
    FilesInfoPreferences::setPreference(QStringLiteral("second.htm"), TestSupport::fixturePath(QStringLiteral("chm-reader")),
                                        CHMReaderWindow::kLastPathKey);
    open(QStringLiteral("chm-reader"));
    EXPECT_EQ(currentTabLabel(), QStringLiteral("Second"));
    EXPECT_EQ(m_window->tocView()->currentIndex().data().toString(), QStringLiteral("Second"));

    // Without a selected row the missing item counts as page 0: the second page comes next.
    m_window->tocView()->selectionModel()->clear();
    EXPECT_EQ(loadBy([this] { m_window->gotoPageDown(); }).path(), QStringLiteral("/a.htm"));
    EXPECT_EQ(currentTabLabel(), QStringLiteral("A topic"));
    EXPECT_TRUE(m_window->historyAction(1)->isEnabled());

    // The contents node of a page with a fragment is found and expanded to.
    EXPECT_EQ(loadBy([this] { m_window->gotoPageDown(); }).path(), QStringLiteral("/b.htm"));
    EXPECT_EQ(m_window->tocView()->currentIndex().data().toString(), QStringLiteral("B topic"));
    EXPECT_TRUE(m_window->tocView()->isExpanded(m_window->tocView()->currentIndex().parent()));
}

TEST_F(ReaderWindowTest, QuotesInTheFindTextAreHarmless)
{
    open(QStringLiteral("chm-reader"));
    loadBy([this] { m_window->loadPath(QStringLiteral("b.htm")); });
    m_window->highlightString(QStringLiteral("O'Brien's"));
    EXPECT_EQ(highlightCount(), 1);
    m_window->highlightString(QStringLiteral("'); document.title='taken'; ('"));
    EXPECT_EQ(highlightCount(), 0);
    EXPECT_EQ(evaluate(QStringLiteral("document.title")).toString(), QStringLiteral("B page"));
    m_window->highlightString(QStringLiteral("ZEBRA"));
    EXPECT_EQ(highlightCount(), 6);
    // Going back from no current highlight starts at the last one, and the steps wrap around.
    m_window->findInFile(0);
    EXPECT_EQ(evaluate(QStringLiteral("tomefoldHighlightIndex")).toInt(), 5);
    m_window->findInFile(1);
    EXPECT_EQ(evaluate(QStringLiteral("tomefoldHighlightIndex")).toInt(), 0);
    m_window->findPrev();
    EXPECT_EQ(evaluate(QStringLiteral("document.querySelectorAll('.tomefold-highlight-current').length")).toInt(), 1);
    m_window->removeHighlight();
    EXPECT_EQ(highlightCount(), 0);
}

TEST_F(ReaderWindowTest, SidebarNeverStoresANarrowWidth)
{
    open(QStringLiteral("chm-reader"));
    EXPECT_GE(m_window->sidebarWidth(), CHMReaderWindow::kSidebarMinWidth);
    m_window->dividerMoved(100);
    EXPECT_EQ(m_window->sidebarWidth(), CHMReaderWindow::kSidebarMinWidth);
    EXPECT_FALSE(QSettings().contains(CHMReaderWindow::kSidebarWidthKey));

    m_window->dividerMoved(400);
    EXPECT_EQ(m_window->sidebarWidth(), 400);
    EXPECT_EQ(QSettings().value(CHMReaderWindow::kSidebarWidthKey).toInt(), 400);

    m_window->toggleSidebar();
    EXPECT_FALSE(m_window->isSidebarRestored());
    EXPECT_EQ(m_window->sidebarWidth(), 0);
    m_window->toggleSidebar();
    EXPECT_TRUE(m_window->isSidebarRestored());
    EXPECT_EQ(m_window->sidebarWidth(), 400);
}

TEST_F(ReaderWindowTest, ContentsWithoutEntriesHideTheSidebar)
{
    open(QStringLiteral("chm-empty-toc"));
    EXPECT_FALSE(m_window->isSidebarRestored());
    EXPECT_EQ(m_window->sidebarWidth(), 0);
}

TEST_F(ReaderWindowTest, SearchModesListHitsAndClearingRemovesThem)
{
    open(QStringLiteral("chm-reader"));
    QTreeView* results = m_window->searchView();
    m_window->searchItemView()->setText(QStringLiteral("alp"));
    m_window->setSearchInIndex();
    EXPECT_EQ(fileKey(CHMReaderWindow::kSearchTypeKey), QStringLiteral("index"));
    ASSERT_EQ(results->model()->rowCount(), 2);
    EXPECT_EQ(results->model()->index(0, 0).data().toString(), QStringLiteral("Alpha"));

    m_window->searchItemView()->setText(QStringLiteral("zebra"));
    m_window->setSearchInFile();
    EXPECT_EQ(fileKey(CHMReaderWindow::kSearchTypeKey), QStringLiteral("file"));
    ASSERT_TRUE(QTest::qWaitFor([this] { return !m_window->isWaitingForSearchIndex(); }, kGenerousWaitMs));
    ASSERT_EQ(results->model()->rowCount(), 2);
    EXPECT_EQ(results->model()->index(0, 0).data().toString(), QStringLiteral("B topic"));

    // A topic loaded while the field holds text shows the text highlighted.
    loadBy([this] { m_window->loadPath(QStringLiteral("a.htm")); });
    EXPECT_EQ(highlightCount(), 1);

    m_window->searchItemView()->clear();
    EXPECT_EQ(results->model()->rowCount(), 0);
    EXPECT_EQ(highlightCount(), 0);
}

TEST_F(ReaderWindowTest, ASearchBeforeTheIndexIsDoneShowsABusyListAndRunsWhenItIs)
{
    // Holding the document's lock keeps the index build at its first object.
    std::unique_lock hold(m_document.lock());
    open(QStringLiteral("chm-reader"));
    m_window->searchItemView()->setText(QStringLiteral("zebra"));
    m_window->setSearchInFile();
    // The window went on: the search waits, with a busy list.
    EXPECT_TRUE(m_window->isWaitingForSearchIndex());
    EXPECT_FALSE(m_window->searchView()->isEnabled());
    EXPECT_EQ(m_window->searchView()->model()->rowCount(), 0);
    // The text the field holds when the index is done is the one searched.
    m_window->searchItemView()->setText(QStringLiteral("lonely"));
    hold.unlock();
    ASSERT_TRUE(QTest::qWaitFor([this] { return !m_window->isWaitingForSearchIndex(); }, kGenerousWaitMs));
    EXPECT_TRUE(m_window->searchView()->isEnabled());
    ASSERT_EQ(m_window->searchView()->model()->rowCount(), 1);
    EXPECT_EQ(m_window->searchView()->model()->index(0, 0).data().toString(), QStringLiteral("Index only"));
}

TEST_F(ReaderWindowTest, ChangingTheEncodingRebuildsTheTreesAndForgetsOldResults)
{
    open(QStringLiteral("chm-reader"));
    m_window->searchItemView()->setText(QStringLiteral("alp"));
    m_window->setSearchInIndex();
    ASSERT_EQ(m_window->searchView()->model()->rowCount(), 2);

    m_window->changeEncoding(0);
    EXPECT_EQ(fileKey(CHMReaderWindow::kEncodingIndexKey), QStringLiteral("0"));
    EXPECT_EQ(m_window->tocView()->model()->rowCount(), 3);
    EXPECT_EQ(m_window->indexView()->model()->rowCount(), 4);
    EXPECT_EQ(m_window->searchView()->model()->rowCount(), 0);
    // The rebuilt contents still lead to the page shown.
    EXPECT_EQ(m_window->tocView()->currentIndex().data().toString(), QStringLiteral("Home"));
}

TEST_F(ReaderWindowTest, TextSizeAndHistoryFollowTheView)
{
    open(QStringLiteral("chm-reader"));
    m_window->zoom(1);
    EXPECT_NEAR(QSettings().value(CHMReaderWindow::kZoomFactorKey).toDouble(), 1.2, 1e-6);
    for (int step = 0; step < 20; ++step)
        m_window->zoomIn();
    EXPECT_FALSE(m_window->textSizeAction(1)->isEnabled());
    EXPECT_TRUE(m_window->textSizeAction(0)->isEnabled());

    loadBy([this] { m_window->loadPath(QStringLiteral("second.htm")); });
    EXPECT_TRUE(m_window->historyAction(1)->isEnabled());
    EXPECT_EQ(loadBy([this] { m_window->goHistory(1); }).path(), QStringLiteral("/home.htm"));
    EXPECT_TRUE(m_window->historyAction(2)->isEnabled());
    EXPECT_EQ(loadBy([this] { m_window->goHistory(2); }).path(), QStringLiteral("/second.htm"));
}

TEST_F(ReaderWindowTest, ModifierClicksAndNewWindowsOpenTabs)
{
    open(QStringLiteral("chm-reader"));
    loadBy([this] { m_window->loadPath(QStringLiteral("links.htm")); });
    ASSERT_EQ(m_window->docTabView()->count(), 1);
    const auto clickLink = [this](const QString& id, Qt::KeyboardModifiers modifiers) {
        const QVariantList box = evaluate(QStringLiteral("(function(){var r=document.getElementById('%1')"
                                                         ".getBoundingClientRect();return [r.left+10,r.top+10];})()")
                                              .arg(id))
                                     .toList();
        ASSERT_EQ(box.size(), 2);
        const QPoint at(box.at(0).toInt(), box.at(1).toInt());
        QTest::mouseClick(m_window->curWebView()->focusProxy(), Qt::LeftButton, modifiers, at);
    };

    EXPECT_EQ(loadBy([&] { clickLink(QStringLiteral("plain"), Qt::ControlModifier); }).path(),
              QStringLiteral("/second.htm"));
    EXPECT_EQ(m_window->docTabView()->count(), 2);
    EXPECT_EQ(currentTabLabel(), QStringLiteral("Second"));

    m_window->docTabView()->setCurrentIndex(0);
    EXPECT_EQ(loadBy([&] { clickLink(QStringLiteral("blank"), Qt::NoModifier); }).path(), QStringLiteral("/a.htm"));
    EXPECT_EQ(m_window->docTabView()->count(), 3);
    EXPECT_EQ(m_window->webViews().size(), 3);
}

} // namespace
