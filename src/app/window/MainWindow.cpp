#include "app/window/MainWindow.h"

#include "app/filelist/FileListTableView.h"
#include "app/options/ExportOptionsPanel.h"
#include "app/window/WindowActions.h"
#include "app/window/WindowIcons.h"
#include "app/window/WindowMenus.h"
#include "app/window/WindowToolbar.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QMenuBar>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

// The window's size when the screen has room for it; the list may narrow to make room for the
// options at their full width.
constexpr QSize kPreferredSize(1100, 720);
constexpr int kListMinimumWidth = 240;
constexpr int kFrameAllowance = 48;

QToolButton* MakeActionButton(QAction* action, QWidget* parent)
{
    auto* button = new QToolButton(parent);
    button->setDefaultAction(action);
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    return button;
}

} // namespace

MainWindow::MainWindow(const WindowActions& actions, ExportOptionsPanel* optionsPanel)
    : m_imageListTable(new FileListTableView)
    , m_optionsPanel(optionsPanel)
{
    setObjectName(QStringLiteral("window"));
    setWindowIcon(ApplicationIcon());
    m_imageListTable->setObjectName(QStringLiteral("imageListTable"));
    m_imageListTable->setMinimumWidth(kListMinimumWidth);

    auto* listSide = new QWidget;
    m_exportButton = MakeActionButton(actions.exportSelected, listSide);
    m_exportButton->setObjectName(QStringLiteral("exportButton"));
    m_exportAllButton = MakeActionButton(actions.exportAll, listSide);
    m_exportAllButton->setObjectName(QStringLiteral("exportAllButton"));
    auto* exportRow = new QHBoxLayout;
    exportRow->addStretch();
    exportRow->addWidget(m_exportButton);
    exportRow->addWidget(m_exportAllButton);
    auto* listLayout = new QVBoxLayout(listSide);
    listLayout->addWidget(m_imageListTable);
    listLayout->addLayout(exportRow);

    // The options scroll up and down on a short screen, but are never cut at the side: the panel
    // keeps the width it needs, and the list gives way to it.
    auto* optionsSide = new QScrollArea;
    optionsSide->setObjectName(QStringLiteral("optionsScrollArea"));
    optionsSide->setWidget(m_optionsPanel);
    optionsSide->setWidgetResizable(true);
    optionsSide->setFrameShape(QFrame::NoFrame);
    optionsSide->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    optionsSide->setMinimumWidth(m_optionsPanel->minimumSizeHint().width()
                                 + optionsSide->verticalScrollBar()->sizeHint().width());

    auto* splitter = new QSplitter;
    splitter->addWidget(listSide);
    splitter->addWidget(optionsSide);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 2);
    splitter->setChildrenCollapsible(false);
    setCentralWidget(splitter);

    m_mainToolbar = BuildMainToolbar(*this, actions);
    BuildMenus(*menuBar(), actions);
    fitToScreen();
}

void MainWindow::fitToScreen()
{
    const QScreen* shownOn = screen();
    if (!shownOn)
        return;
    // Room for the window's frame, which the window manager adds around it.
    const QSize available = shownOn->availableGeometry().size() - QSize(kFrameAllowance, kFrameAllowance);
    resize(kPreferredSize.boundedTo(available).expandedTo(minimumSizeHint()));
}

void MainWindow::setCloseHandler(std::function<bool()> mayClose)
{
    m_mayClose = std::move(mayClose);
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (m_mayClose && !m_mayClose()) {
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}
