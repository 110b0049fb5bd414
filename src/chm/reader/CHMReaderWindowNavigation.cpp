#include "chm/reader/CHMReaderWindow.h"

#include "chm/CHMDocument.h"
#include "chm/CHMTableOfContent.h"
#include "chm/reader/OutlineModel.h"
#include "common/UserDefaults.h"

#include <QAction>
#include <QComboBox>
#include <QItemSelectionModel>
#include <QPrintDialog>
#include <QTabWidget>
#include <QTreeView>
#include <QWebEngineHistory>
#include <QWebEngineSettings>
#include <QWebEngineView>

namespace {

constexpr qreal kZoomStep = 1.2;
constexpr qreal kMinZoomFactor = 0.25; // the web engine's own bounds
constexpr qreal kMaxZoomFactor = 5.0;
constexpr qreal kZoomTolerance = 1e-6;

LinkItem* selectedItem(const QTreeView* view)
{
    const QModelIndex current = view->selectionModel()->currentIndex();
    if (!current.isValid() || !view->selectionModel()->isSelected(current))
        return nullptr;
    return OutlineModel::itemAt(current);
}

} // namespace

void CHMReaderWindow::loadPath(const QString& path)
{
    loadURL(m_document.composeURL(path));
}

void CHMReaderWindow::loadURL(const QUrl& url)
{
    if (url.isEmpty() || m_curWebView == nullptr)
        return;
    m_curWebView->load(url);
}

QUrl CHMReaderWindow::currentURL() const
{
    return m_curWebView != nullptr ? m_curWebView->url() : QUrl();
}

QString CHMReaderWindow::currentTitle() const
{
    if (m_curWebView == nullptr)
        return QString();
    return m_docTabView->tabText(m_docTabView->currentIndex());
}

QTreeView* CHMReaderWindow::selectedOutlineView() const
{
    const QString identifier = m_sideBarOutlineTabView->currentWidget() != nullptr
                                   ? m_sideBarOutlineTabView->currentWidget()->objectName()
                                   : QString();
    if (identifier == QLatin1String("Contents"))
        return m_tocView;
    if (identifier == QLatin1String("Index"))
        return m_indexView;
    if (identifier == QLatin1String("Search"))
        return m_searchView;
    return nullptr;
}

void CHMReaderWindow::changeTopic()
{
    const QTreeView* view = selectedOutlineView();
    if (view == nullptr)
        return;
    if (const LinkItem* item = selectedItem(view))
        loadPath(item->path());
}

void CHMReaderWindow::openInNewTab()
{
    addNewTab();
    changeTopic();
}

void CHMReaderWindow::goBack()
{
    if (m_curWebView != nullptr && m_curWebView->history()->canGoBack())
        m_curWebView->back();
}

void CHMReaderWindow::goForward()
{
    if (m_curWebView != nullptr && m_curWebView->history()->canGoForward())
        m_curWebView->forward();
}

void CHMReaderWindow::goHome()
{
    deselectAllOutlines();
    loadPath(m_document.homePath());
}

void CHMReaderWindow::goHistory(int segment)
{
    if (segment == 0)
        goHome();
    else if (segment == 1)
        goBack();
    else if (segment == 2)
        goForward();
}

void CHMReaderWindow::gotoPageDown()
{
    if (const CHMTableOfContent* toc = m_document.tocSource()) {
        if (const LinkItemPtr page = toc->getNextPage(selectedItem(m_tocView)))
            loadPath(page->path());
    }
}

void CHMReaderWindow::gotoPageUp()
{
    if (const CHMTableOfContent* toc = m_document.tocSource()) {
        if (const LinkItemPtr page = toc->getPrevPage(selectedItem(m_tocView)))
            loadPath(page->path());
    }
}

void CHMReaderWindow::locateTOC()
{
    const CHMTableOfContent* toc = m_tocModel->source();
    if (toc == nullptr || m_curWebView == nullptr)
        return;
    LinkItemList stack;
    const LinkItemPtr item = toc->itemForPath(m_document.extractPathFromURL(m_curWebView->url()), &stack);
    if (!item)
        return;
    const QModelIndex index = m_tocModel->indexForItem(item.get(), stack);
    if (!index.isValid())
        return;
    for (QModelIndex ancestor = index.parent(); ancestor.isValid(); ancestor = ancestor.parent())
        m_tocView->expand(ancestor);
    m_isSelectionChangedProgrammatically = true;
    m_tocView->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    m_isSelectionChangedProgrammatically = false;
    m_tocView->scrollTo(index);
}

void CHMReaderWindow::outlineViewSelectionDidChange()
{
    if (!m_isSelectionChangedProgrammatically)
        changeTopic();
}

void CHMReaderWindow::deselectAllOutlines()
{
    for (QTreeView* view : {m_tocView, m_indexView, m_searchView})
        view->selectionModel()->clear();
}

void CHMReaderWindow::updateHistoryButton()
{
    m_historySegments.at(0)->setEnabled(true);
    m_historySegments.at(1)->setEnabled(m_curWebView != nullptr && m_curWebView->history()->canGoBack());
    m_historySegments.at(2)->setEnabled(m_curWebView != nullptr && m_curWebView->history()->canGoForward());
}

void CHMReaderWindow::zoomIn()
{
    if (m_curWebView != nullptr)
        m_curWebView->setZoomFactor(std::min(m_curWebView->zoomFactor() * kZoomStep, kMaxZoomFactor));
    after_zoom();
}

void CHMReaderWindow::zoomOut()
{
    if (m_curWebView != nullptr)
        m_curWebView->setZoomFactor(std::max(m_curWebView->zoomFactor() / kZoomStep, kMinZoomFactor));
    after_zoom();
}

void CHMReaderWindow::zoom(int segment)
{
    if (segment == 0)
        zoomOut();
    else if (segment == 1)
        zoomIn();
}

void CHMReaderWindow::updateTextSizeSegments()
{
    const qreal factor = m_curWebView != nullptr ? m_curWebView->zoomFactor() : 1.0;
    m_textSizeSegments.at(0)->setEnabled(factor / kZoomStep >= kMinZoomFactor - kZoomTolerance);
    m_textSizeSegments.at(1)->setEnabled(factor * kZoomStep <= kMaxZoomFactor + kZoomTolerance);
}

void CHMReaderWindow::after_zoom()
{
    updateTextSizeSegments();
    if (m_curWebView != nullptr)
        WBQUtil::SetUserDefault(static_cast<float>(m_curWebView->zoomFactor()), kZoomFactorKey);
}

void CHMReaderWindow::printDocument()
{
    if (m_curWebView == nullptr)
        return;
    auto* dialog = new QPrintDialog(&m_printer, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowModality(Qt::WindowModal);
    QWebEngineView* view = m_curWebView;
    connect(dialog, &QDialog::accepted, view, [this, view] { view->print(&m_printer); });
    dialog->open();
}

void CHMReaderWindow::exportToPDF()
{
    m_document.exportToPDF();
}

void CHMReaderWindow::changeEncoding(int tag)
{
    m_customizedEncodingTag = tag;
    const int item = m_textEncodingPopup->findData(tag);
    if (item >= 0)
        m_textEncodingPopup->setCurrentIndex(item);
    // No tag names an encoding of its own yet: the document's encoding is the one applied.
    for (QWebEngineView* view : std::as_const(m_webViews))
        view->settings()->setDefaultTextEncoding(m_document.currentEncodingName());
    // The trees are rebuilt: nothing may keep showing the old ones.
    setSearchSource(nullptr);
    m_tocModel->setSource(nullptr);
    m_indexModel->setSource(nullptr);
    m_document.setupTOCSource();
    setOutlineSources();
    locateTOC();
    setPreference(tag, kEncodingIndexKey);
}

void CHMReaderWindow::setOutlineSources()
{
    m_tocModel->setSource(m_document.tocSource());
    m_indexModel->setSource(m_document.indexSource());
}
