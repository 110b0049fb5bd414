#include "chm/reader/CHMReaderWindow.h"

#include "chm/CHMDocument.h"
#include "chm/CHMTableOfContent.h"
#include "chm/reader/OutlineModel.h"
#include "chm/search/SidebarSearch.h"
#include "common/UserDefaults.h"

#include <QAction>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QMenu>
#include <QTreeView>

namespace {

// The user default "search" is run by the first reader window of the process only.
bool initialSearchDone = false;

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
    setSearchSource(SidebarSearch::searchInFile(m_document, text));
    if (text.isEmpty())
        removeHighlight();
}

void CHMReaderWindow::searchInIndex()
{
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
