#include "chm/reader/CHMReaderWindow.h"

#include "chm/CHMDocument.h"
#include "chm/CHMTableOfContent.h"
#include "chm/CHMWebProfile.h"
#include "chm/CHMWebPage.h"
#include "chm/reader/FilesInfoPreferences.h"
#include "chm/reader/OutlineModel.h"
#include "chm/reader/ReaderScripts.h"
#include "chm/reader/ReaderTab.h"
#include "common/LocalizedStrings.h"

#include <QFileInfo>
#include <QLineEdit>
#include <QSplitter>
#include <QTabWidget>
#include <QTreeView>
#include <QWebEngineView>

CHMReaderWindow::CHMReaderWindow(CHMDocument& document, QWidget* parent)
    : QMainWindow(parent), m_document(document), m_profile(std::make_unique<CHMWebProfile>(document))
{
    m_document.documentWindow = this;
    buildWidgets();
    windowControllerDidLoadNib();
}

CHMReaderWindow::~CHMReaderWindow()
{
    if (m_document.documentWindow == this)
        m_document.documentWindow = nullptr;
    m_tocModel->setSource(nullptr);
    m_indexModel->setSource(nullptr);
    m_searchModel->setSource(nullptr);
    // The topic pages must go before the profile they were made on.
    m_curWebView = nullptr;
    m_webViews.clear();
    while (m_docTabView->count() > 0)
        delete m_docTabView->widget(0);
}

void CHMReaderWindow::windowControllerDidLoadNib()
{
    setWindowTitle(QFileInfo(m_document.filePath()).fileName());
    setupTabBar();
    addNewTab();

    bool hidesSidebar = false;
    if (const CHMTableOfContent* toc = m_document.tocSource()) {
        m_tocModel->setSource(toc);
        if (toc->rootChildrenCount() == 0) {
            hideSidebar();
            hidesSidebar = true;
        }
    }
    if (m_document.indexSource() != nullptr)
        m_indexModel->setSource(m_document.indexSource());

    setupToolbar();
    // A contents tree without entries leaves nothing to show in the sidebar: it stays hidden.
    if (!hidesSidebar)
        restoreSidebar();

    const QString lastPath = getPreferenceforFile(kLastPathKey).toString();
    if (!lastPath.isEmpty())
        loadPath(lastPath);
    else
        goHome();

    prepareSearchIndex();
    if (getPreferenceforFile(kSearchTypeKey).toString() == QLatin1String("index"))
        setSearchInIndex();
    else
        setSearchInFile();
    runInitialSearchOnce();
}

void CHMReaderWindow::setupTabBar()
{
    m_docTabView->setDocumentMode(true);
    m_docTabView->setTabsClosable(true);
    m_docTabView->setMovable(true);
    connect(m_docTabView, &QTabWidget::currentChanged, this, &CHMReaderWindow::selectTab);
    connect(m_docTabView, &QTabWidget::tabCloseRequested, this, [this](int index) {
        if (m_docTabView->count() <= 1)
            return;
        auto* tab = qobject_cast<ReaderTab*>(m_docTabView->widget(index));
        m_webViews.removeAll(tab->webView());
        delete tab;
    });
}

ReaderTab* CHMReaderWindow::addNewTab()
{
    auto* tab = new ReaderTab(m_profile->profile(), m_docTabView);
    QWebEngineView* view = tab->webView();
    m_webViews.append(view);
    connect(view, &QWebEngineView::loadFinished, this, [this, view](bool ok) { webViewDidFinishLoad(view, ok); });
    if (auto* page = qobject_cast<CHMWebPage*>(view->page())) {
        // Modifier-clicks and pages asking for a window open the topic in a new tab.
        connect(page, &CHMWebPage::topicWindowRequested, this, [this](const QUrl& url) {
            addNewTab();
            loadURL(url);
        });
    }
    connect(tab, &ReaderTab::findRequested, this, &CHMReaderWindow::beginFind);
    connect(tab, &ReaderTab::findStepRequested, this, &CHMReaderWindow::findInFile);
    connect(tab, &ReaderTab::findDone, this, &CHMReaderWindow::doneFind);
    m_docTabView->setCurrentIndex(m_docTabView->addTab(tab, Localized("(Untitled)")));
    return tab;
}

void CHMReaderWindow::selectTab(int index)
{
    auto* tab = qobject_cast<ReaderTab*>(m_docTabView->widget(index));
    m_curWebView = tab != nullptr ? tab->webView() : nullptr;
    updateHistoryButton();
}

ReaderTab* CHMReaderWindow::currentTab() const
{
    return qobject_cast<ReaderTab*>(m_docTabView->currentWidget());
}

void CHMReaderWindow::webViewDidFinishLoad(QWebEngineView* view, bool ok)
{
    if (!ok)
        return;
    updateHistoryButton();
    locateTOC();

    const QUrl url = view->url();
    const CHMTableOfContent* toc = m_document.tocSource();
    const LinkItemPtr item = toc != nullptr ? toc->itemForPath(m_document.extractPathFromURL(url)) : nullptr;
    QString label = item ? item->name() : QString();
    if (label.isEmpty())
        label = view->title();
    // The engine names an untitled page after its URL.
    if (label.isEmpty() || label == url.toString() || label == url.toString(QUrl::FullyEncoded))
        label = Localized("(Untitled)");
    const int tabIndex = m_docTabView->indexOf(view->parentWidget());
    if (tabIndex >= 0)
        m_docTabView->setTabText(tabIndex, label);

    // The find script goes into the page that loaded, which need not be the selected one.
    runJavascriptIn(view, ReaderScripts::highlightSource());
    if (!m_searchItemView->text().isEmpty()) {
        runJavascriptIn(view, ReaderScripts::highlightString(m_searchItemView->text()));
        runJavascriptIn(view, ReaderScripts::scrollToHighlight(1));
    }

    QString path = url.path();
    while (path.startsWith(u'/'))
        path.remove(0, 1);
    setPreference(path, kLastPathKey);
    emit topicLoaded(url);
}

void CHMReaderWindow::setPreference(const QVariant& value, const QString& key)
{
    FilesInfoPreferences::setPreference(value, m_document.filePath(), key);
}

QVariant CHMReaderWindow::getPreferenceforFile(const QString& key) const
{
    return FilesInfoPreferences::getPreferenceforFile(m_document.filePath(), key);
}
