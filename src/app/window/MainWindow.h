#pragma once

#include <QMainWindow>

#include <functional>

class ExportOptionsPanel;
class FileListTableView;
class QToolButton;
struct WindowActions;

// The main window: the file list on the left with the two export buttons below it, the export
// options on the right, the toolbar and the menus. What closing it means is its owner's business:
// the close handler answers whether the window may close now.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    MainWindow(const WindowActions& actions, ExportOptionsPanel* optionsPanel);

    FileListTableView* imageListTable() const { return m_imageListTable; }
    ExportOptionsPanel* optionsPanel() const { return m_optionsPanel; }
    QToolBar* mainToolbar() const { return m_mainToolbar; }
    QToolButton* exportButton() const { return m_exportButton; }
    QToolButton* exportAllButton() const { return m_exportAllButton; }

    void setCloseHandler(std::function<bool()> mayClose);

    // Sizes the window as it opens: as large as it likes to be, never larger than the screen it
    // opens on leaves room for, never smaller than it can be used at.
    void fitToScreen();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    FileListTableView* m_imageListTable;
    ExportOptionsPanel* m_optionsPanel;
    QToolBar* m_mainToolbar;
    QToolButton* m_exportButton;
    QToolButton* m_exportAllButton;
    std::function<bool()> m_mayClose;
};
