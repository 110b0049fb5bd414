#include "chm/reader/CHMReaderWindow.h"

#include "chm/CHMDocument.h"
#include "chm/CHMTableOfContent.h"
#include "chm/reader/OutlineModel.h"
#include "chm/search/CHMSearchIndex.h"
#include "chm/search/SidebarSearch.h"
#include "common/UserDefaults.h"

#include <QAction>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QMenu>
#include <QTimer>
#include <QTreeView>

namespace {

// The user default "search" is run by the first reader window of the process only.
bool initialSearchDone = false;

// How often a waiting search looks whether the index is done.
constexpr int kSearchIndexPollMs = 50;

QAction* actionWithTag(const QMenu& menu, int tag)
{
    for (QAction* action : menu.actions()) {
        if (action->data().toInt() == tag)
            return action;
    }
    return nullptr;
}

} // namespace

void CHMReaderWindow::prepareSearchIndex()
{
    m_document.prepareSearchIndex();
}

void CHMReaderWindow::selectSearchMode(int tagOn)
{
    m_searchesInIndex = tagOn == kSearchInIndexTag;
    for (QAction* action : m_searchMenu->actions())
        action->setChecked(action->data().toInt() == tagOn);
    if (const QAction* on = actionWithTag(*m_searchMenu, tagOn))
        m_searchItemView->setPlaceholderText(on->text());
}

void CHMReaderWindow::setSearchInFile()
{
    selectSearchMode(kSearchInFileTag);
    if (!m_searchItemView->text().isEmpty())
        searchInFile();
    setPreference(QStringLiteral("file"), kSearchTypeKey);
}

void CHMReaderWindow::setSearchInIndex()
{
    selectSearchMode(kSearchInIndexTag);
    if (!m_searchItemView->text().isEmpty())
        searchInIndex();
    setPreference(QStringLiteral("index"), kSearchTypeKey);
}

void CHMReaderWindow::runSearchFieldAction()
{
    if (m_searchesInIndex)
        searchInIndex();
    else
        searchInFile();
}

void CHMReaderWindow::searchInFile()
{
    const QString text = m_searchItemView->text();
    const CHMSearchIndex* index = m_document.searchIndex();
    if (!text.isEmpty() && index != nullptr && !index->isIndexDone()) {
        waitForSearchIndex();
        return;
    }
    endSearchIndexWait();
    setSearchSource(SidebarSearch::searchInFile(m_document, text));
    if (text.isEmpty())
        removeHighlight();
}

bool CHMReaderWindow::isWaitingForSearchIndex() const
{
    return m_searchIndexWait != nullptr && m_searchIndexWait->isActive();
}

void CHMReaderWindow::waitForSearchIndex()
{
    if (m_searchIndexWait == nullptr) {
        m_searchIndexWait = new QTimer(this);
        m_searchIndexWait->setInterval(kSearchIndexPollMs);
        connect(m_searchIndexWait, &QTimer::timeout, this, &CHMReaderWindow::searchIndexWaitTick);
    }
    if (m_searchIndexWait->isActive())
        return;
    setSearchSource(nullptr);
    m_searchView->setEnabled(false);
    m_searchView->setCursor(Qt::BusyCursor);
    m_searchIndexWait->start();
}

void CHMReaderWindow::searchIndexWaitTick()
{
    const CHMSearchIndex* index = m_document.searchIndex();
    if (index != nullptr && !index->isIndexDone())
        return;
    endSearchIndexWait();
    // The person may have gone over to the index search meanwhile; that one has run already.
    if (!m_searchesInIndex)
        searchInFile();
}

void CHMReaderWindow::endSearchIndexWait()
{
    if (!isWaitingForSearchIndex())
        return;
    m_searchIndexWait->stop();
    m_searchView->unsetCursor();
    m_searchView->setEnabled(true);
}

void CHMReaderWindow::searchInIndex()
{
    endSearchIndexWait();
    const QString text = m_searchItemView->text();
    setSearchSource(SidebarSearch::searchInIndex(m_document, text));
    if (text.isEmpty())
        removeHighlight();
}

void CHMReaderWindow::setSearchSource(std::shared_ptr<CHMTableOfContent> result)
{
    m_searchView->selectionModel()->clear();
    m_searchModel->setSource(nullptr);
    m_searchSource = std::move(result);
    m_searchModel->setSource(m_searchSource.get());
}

void CHMReaderWindow::runInitialSearchOnce()
{
    if (initialSearchDone)
        return;
    initialSearchDone = true;
    const QString text = WBQUtil::GetUserDefault(kSearchKey).toString().trimmed();
    if (text.isEmpty())
        return;
    m_searchItemView->setText(text);
    searchInFile();
}
