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
#include <QScrollArea>
#include <QSplitter>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

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
    m_imageListTable->setMinimumWidth(420);

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

    auto* optionsSide = new QScrollArea;
    optionsSide->setWidget(m_optionsPanel);
    optionsSide->setWidgetResizable(true);
    optionsSide->setFrameShape(QFrame::NoFrame);

    auto* splitter = new QSplitter;
    splitter->addWidget(listSide);
    splitter->addWidget(optionsSide);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 2);
    setCentralWidget(splitter);

    m_mainToolbar = BuildMainToolbar(*this, actions);
    BuildMenus(*menuBar(), actions);
    resize(1100, 720);
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
