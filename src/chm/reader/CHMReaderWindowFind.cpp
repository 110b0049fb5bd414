#include "chm/reader/CHMReaderWindow.h"

#include "chm/reader/ReaderScripts.h"
#include "chm/reader/ReaderTab.h"

#include <QLineEdit>
#include <QWebEnginePage>
#include <QWebEngineView>

void CHMReaderWindow::runJavascriptIn(QWebEngineView* view, const QString& script)
{
    if (view != nullptr && !script.isEmpty())
        view->page()->runJavaScript(ReaderScripts::guarded(script));
}

void CHMReaderWindow::runJavascript(const QString& script)
{
    runJavascriptIn(m_curWebView, script);
}

void CHMReaderWindow::loadJavascript()
{
    runJavascript(ReaderScripts::highlightSource());
}

void CHMReaderWindow::highlightString(const QString& text)
{
    runJavascript(ReaderScripts::highlightString(text));
}

void CHMReaderWindow::removeHighlight()
{
    runJavascript(ReaderScripts::removeHighlight());
}

void CHMReaderWindow::findNext()
{
    runJavascript(ReaderScripts::scrollToHighlight(1));
}

void CHMReaderWindow::findPrev()
{
    runJavascript(ReaderScripts::scrollToHighlight(-1));
}

void CHMReaderWindow::findInFile(int segment)
{
    if (segment != 0)
        findNext();
    else
        findPrev();
}

void CHMReaderWindow::beginFind()
{
    const ReaderTab* tab = currentTab();
    if (tab == nullptr)
        return;
    const QString text = tab->searchField()->text();
    if (text.isEmpty()) {
        removeHighlight();
        return;
    }
    highlightString(text);
    findNext();
}

void CHMReaderWindow::doneFind()
{
    if (ReaderTab* tab = currentTab())
        tab->hideFindPanel();
    removeHighlight();
}

void CHMReaderWindow::showFindPanel()
{
    if (ReaderTab* tab = currentTab())
        tab->showFindPanel();
}

void CHMReaderWindow::focusOnSearch()
{
    m_searchItemView->setFocus();
    m_searchItemView->selectAll();
}
