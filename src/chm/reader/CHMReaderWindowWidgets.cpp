#include "chm/reader/CHMReaderWindow.h"

#include "chm/reader/OutlineModel.h"
#include "common/LocalizedStrings.h"

#include <QAction>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QSplitter>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

namespace {

QAction* addToolAction(QToolBar* toolbar, const QString& text, const QKeySequence& shortcut = QKeySequence())
{
    QAction* action = toolbar->addAction(text);
    action->setShortcut(shortcut);
    return action;
}

} // namespace

void CHMReaderWindow::buildWidgets()
{
    resize(1000, 700);
    auto* toolbar = addToolBar(QStringLiteral("Toolbar"));
    toolbar->setObjectName(QStringLiteral("mainToolbar"));
    toolbar->setMovable(false);

    m_toggleSidebarAction = addToolAction(toolbar, Localized("ReaderSidebar"));
    m_toggleSidebarAction->setCheckable(true);
    connect(m_toggleSidebarAction, &QAction::triggered, this, &CHMReaderWindow::toggleSidebar);
    toolbar->addSeparator();

    // The history and text-size segments: one action each, in segment order.
    m_historySegments = {addToolAction(toolbar, Localized("ReaderHome")),
                         addToolAction(toolbar, Localized("ReaderBack"), QKeySequence::Back),
                         addToolAction(toolbar, Localized("ReaderForward"), QKeySequence::Forward)};
    for (int segment = 0; segment < m_historySegments.size(); ++segment)
        connect(m_historySegments.at(segment), &QAction::triggered, this, [this, segment] { goHistory(segment); });
    toolbar->addSeparator();
    m_textSizeSegments = {addToolAction(toolbar, Localized("ReaderTextSmaller"), QKeySequence::ZoomOut),
                          addToolAction(toolbar, Localized("ReaderTextLarger"), QKeySequence::ZoomIn)};
    for (int segment = 0; segment < m_textSizeSegments.size(); ++segment)
        connect(m_textSizeSegments.at(segment), &QAction::triggered, this, [this, segment] { zoom(segment); });
    toolbar->addSeparator();

    m_saveAsAction = addToolAction(toolbar, Localized("ReaderSaveAs"), QKeySequence::SaveAs);
    connect(m_saveAsAction, &QAction::triggered, this, &CHMReaderWindow::exportToPDF);
    m_printAction = addToolAction(toolbar, Localized("ReaderPrint"), QKeySequence::Print);
    connect(m_printAction, &QAction::triggered, this, &CHMReaderWindow::printDocument);

    m_textEncodingPopup = new QComboBox(toolbar);
    m_textEncodingPopup->addItem(Localized("ReaderDocumentEncoding"), 0);
    connect(m_textEncodingPopup, &QComboBox::activated, this,
            [this](int index) { changeEncoding(m_textEncodingPopup->itemData(index).toInt()); });
    toolbar->addWidget(m_textEncodingPopup);

    addShortcutActions();

    m_splitView = new QSplitter(Qt::Horizontal, this);
    buildSidebar();
    m_docTabView = new QTabWidget(m_splitView);
    m_splitView->addWidget(m_sideBarOutlineTabView->parentWidget());
    m_splitView->addWidget(m_docTabView);
    m_splitView->setCollapsible(0, true);
    m_splitView->setCollapsible(1, false);
    // The sidebar keeps its width when the window is resized.
    m_splitView->setStretchFactor(0, 0);
    m_splitView->setStretchFactor(1, 1);
    connect(m_splitView, &QSplitter::splitterMoved, this, [this](int position, int) { dividerMoved(position); });
    setCentralWidget(m_splitView);
}

void CHMReaderWindow::addShortcutActions()
{
    const auto addShortcut = [this](const QKeySequence& keys, void (CHMReaderWindow::*method)()) {
        auto* action = new QAction(this);
        action->setShortcut(keys);
        connect(action, &QAction::triggered, this, method);
        addAction(action);
    };
    addShortcut(QKeySequence::Find, &CHMReaderWindow::showFindPanel);
    addShortcut(QKeySequence::FindNext, &CHMReaderWindow::findNext);
    addShortcut(QKeySequence::FindPrevious, &CHMReaderWindow::findPrev);
    addShortcut(QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_F), &CHMReaderWindow::focusOnSearch);
    addShortcut(QKeySequence(Qt::ALT | Qt::Key_Down), &CHMReaderWindow::gotoPageDown);
    addShortcut(QKeySequence(Qt::ALT | Qt::Key_Up), &CHMReaderWindow::gotoPageUp);
}

void CHMReaderWindow::buildSidebar()
{
    auto* sidebar = new QWidget(m_splitView);
    sidebar->setMinimumWidth(0);
    m_searchItemView = new QLineEdit(sidebar);
    m_searchItemView->setClearButtonEnabled(true);
    buildSearchMenu();
    auto* searchModeButton = new QToolButton(sidebar);
    searchModeButton->setMenu(m_searchMenu);
    searchModeButton->setPopupMode(QToolButton::InstantPopup);
    searchModeButton->setText(QStringLiteral("⌕"));
    connect(m_searchItemView, &QLineEdit::returnPressed, this, &CHMReaderWindow::runSearchFieldAction);
    connect(m_searchItemView, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (text.isEmpty())
            runSearchFieldAction();
    });

    m_sideBarOutlineTabView = new QTabWidget(sidebar);
    m_sideBarOutlineTabView->setDocumentMode(true);
    m_tocModel = new OutlineModel(this);
    m_indexModel = new OutlineModel(this);
    m_searchModel = new OutlineModel(this);
    m_tocView = makeOutlineView(m_tocModel, QStringLiteral("Contents"));
    m_indexView = makeOutlineView(m_indexModel, QStringLiteral("Index"));
    m_searchView = makeOutlineView(m_searchModel, QStringLiteral("Search"));
    m_searchView->setRootIsDecorated(false); // a flat list
    m_sideBarOutlineTabView->addTab(m_tocView, Localized("ReaderContentsTab"));
    m_sideBarOutlineTabView->addTab(m_indexView, Localized("ReaderIndexTab"));
    m_sideBarOutlineTabView->addTab(m_searchView, Localized("ReaderSearchTab"));

    auto* searchRow = new QHBoxLayout;
    searchRow->addWidget(m_searchItemView, 1);
    searchRow->addWidget(searchModeButton);
    auto* layout = new QVBoxLayout(sidebar);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(searchRow);
    layout->addWidget(m_sideBarOutlineTabView, 1);
}

void CHMReaderWindow::buildSearchMenu()
{
    m_searchMenu = new QMenu(this);
    QAction* inFile = m_searchMenu->addAction(Localized("SearchInFile"));
    inFile->setData(int(kSearchInFileTag));
    inFile->setCheckable(true);
    connect(inFile, &QAction::triggered, this, &CHMReaderWindow::setSearchInFile);
    QAction* inIndex = m_searchMenu->addAction(Localized("SearchInIndex"));
    inIndex->setData(int(kSearchInIndexTag));
    inIndex->setCheckable(true);
    connect(inIndex, &QAction::triggered, this, &CHMReaderWindow::setSearchInIndex);
}

QTreeView* CHMReaderWindow::makeOutlineView(OutlineModel* model, const QString& identifier)
{
    auto* view = new QTreeView(this);
    view->setObjectName(identifier);
    view->setHeaderHidden(true);
    view->setModel(model);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setContextMenuPolicy(Qt::ActionsContextMenu);
    auto* openInTab = new QAction(Localized("ReaderOpenInNewTab"), view);
    connect(openInTab, &QAction::triggered, this, &CHMReaderWindow::openInNewTab);
    view->addAction(openInTab);
    connect(view->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &CHMReaderWindow::outlineViewSelectionDidChange);
    return view;
}

void CHMReaderWindow::setupToolbar()
{
    m_historySegments.at(0)->setEnabled(false);
    m_historySegments.at(1)->setEnabled(false);
    updateTextSizeSegments();
}

QAction* CHMReaderWindow::historyAction(int segment) const
{
    return m_historySegments.value(segment);
}

QAction* CHMReaderWindow::textSizeAction(int segment) const
{
    return m_textSizeSegments.value(segment);
}
