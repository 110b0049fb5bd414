#pragma once

#include <QMainWindow>
#include <QPrinter>
#include <QUrl>

#include <memory>

class CHMDocument;
class CHMTableOfContent;
class CHMWebProfile;
class OutlineModel;
class QAction;
class QComboBox;
class QLineEdit;
class QMenu;
class QSplitter;
class QTabWidget;
class QTimer;
class QTreeView;
class QWebEngineView;
class ReaderTab;

// The interactive reader of a CHM document: tabs of topic views, a sidebar with the contents,
// the index and search results, history, text size, find in page, an encoding menu, and per-file
// memory of the last topic. The document must outlive the window.
class CHMReaderWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit CHMReaderWindow(CHMDocument& document, QWidget* parent = nullptr);
    ~CHMReaderWindow() override;

    static constexpr int kSidebarMinWidth = 250;
    static constexpr int kSidebarHideThreshold = 240;
    static inline const QString kSidebarWidthKey = QStringLiteral("Sidebar Width");
    static inline const QString kZoomFactorKey = QStringLiteral("zoom factor");
    static inline const QString kSearchKey = QStringLiteral("search");
    static inline const QString kLastPathKey = QStringLiteral("last path");
    static inline const QString kSearchTypeKey = QStringLiteral("search type");
    static inline const QString kEncodingIndexKey = QStringLiteral("encoding index");
    enum SearchMenuTag {
        kSearchInFileTag = 1,
        kSearchInIndexTag = 2
    };

    // Navigation.
    void loadPath(const QString& path);
    void loadURL(const QUrl& url);
    QUrl currentURL() const;
    QString currentTitle() const;
    void changeTopic();
    void openInNewTab();
    void goBack();
    void goForward();
    void goHome();
    void goHistory(int segment);
    void gotoPageDown();
    void gotoPageUp();
    void locateTOC();
    void updateHistoryButton();

    // Text size.
    void zoomIn();
    void zoomOut();
    void zoom(int segment);
    void after_zoom();

    void printDocument();
    void exportToPDF();

    // Find in page.
    void runJavascript(const QString& script);
    void loadJavascript();
    void highlightString(const QString& text);
    void removeHighlight();
    void findNext();
    void findPrev();
    void findInFile(int segment);
    void beginFind();
    void doneFind();
    void showFindPanel();
    void focusOnSearch();

    // Encoding menu.
    void changeEncoding(int tag);

    // Sidebar.
    void restoreSidebar();
    void hideSidebar();
    void toggleSidebar();
    void splitViewDidResizeSubviews();
    int constrainMinCoordinate(int proposed) const;
    int constrainMaxCoordinate(int proposed) const;
    // A person dragged the divider to `position`: it is kept within the constraints.
    void dividerMoved(int position);
    bool isSidebarRestored() const { return m_isSidebarRestored; }
    int sidebarWidth() const;

    // Full-text and index search of the sidebar.
    void prepareSearchIndex();
    void setSearchInFile();
    void setSearchInIndex();
    void searchInFile();
    void searchInIndex();
    // A full-text search waits for the index without holding the window: the result list shows a
    // busy state meanwhile, and the search runs, with the text the field then holds, once it is done.
    bool isWaitingForSearchIndex() const;

    // What the reader remembers of this document's file.
    void setPreference(const QVariant& value, const QString& key);
    QVariant getPreferenceforFile(const QString& key) const;

    // Tabs.
    ReaderTab* addNewTab();
    QWebEngineView* curWebView() const { return m_curWebView; }
    const QList<QWebEngineView*>& webViews() const { return m_webViews; }

    // The window's parts, for whoever drives it.
    QTabWidget* docTabView() const { return m_docTabView; }
    QTabWidget* sideBarOutlineTabView() const { return m_sideBarOutlineTabView; }
    QTreeView* tocView() const { return m_tocView; }
    QTreeView* indexView() const { return m_indexView; }
    QTreeView* searchView() const { return m_searchView; }
    QLineEdit* searchItemView() const { return m_searchItemView; }
    QSplitter* splitView() const { return m_splitView; }
    QAction* historyAction(int segment) const;
    QAction* textSizeAction(int segment) const;
    QMenu* searchMenu() const { return m_searchMenu; }

signals:
    // A topic has finished loading in a tab and the window has caught up with it.
    void topicLoaded(const QUrl& url);

private:
    void windowControllerDidLoadNib();
    void buildWidgets();
    void addShortcutActions();
    void buildSidebar();
    void setupTabBar();
    void setupToolbar();
    void buildSearchMenu();
    QTreeView* makeOutlineView(OutlineModel* model, const QString& identifier);
    void setOutlineSources();
    void setSearchSource(std::shared_ptr<CHMTableOfContent> result);
    void runInitialSearchOnce();
    void selectSearchMode(int tagOn);
    void runSearchFieldAction();
    void waitForSearchIndex();
    void searchIndexWaitTick();
    void endSearchIndexWait();
    void selectTab(int index);
    void runJavascriptIn(QWebEngineView* view, const QString& script);
    void updateTextSizeSegments();
    void webViewDidFinishLoad(QWebEngineView* view, bool ok);
    void outlineViewSelectionDidChange();
    void deselectAllOutlines();
    void moveDivider(int position);
    void updateSearchPlaceholder();
    ReaderTab* currentTab() const;
    QTreeView* selectedOutlineView() const;

    CHMDocument& m_document;
    std::unique_ptr<CHMWebProfile> m_profile;
    std::shared_ptr<CHMTableOfContent> m_searchSource;
    QPrinter m_printer;

    QTabWidget* m_docTabView = nullptr;
    QTabWidget* m_sideBarOutlineTabView = nullptr;
    QSplitter* m_splitView = nullptr;
    QTreeView* m_tocView = nullptr;
    QTreeView* m_indexView = nullptr;
    QTreeView* m_searchView = nullptr;
    OutlineModel* m_tocModel = nullptr;
    OutlineModel* m_indexModel = nullptr;
    OutlineModel* m_searchModel = nullptr;
    QLineEdit* m_searchItemView = nullptr;
    QMenu* m_searchMenu = nullptr;
    QTimer* m_searchIndexWait = nullptr;
    QAction* m_toggleSidebarAction = nullptr;
    QList<QAction*> m_historySegments;
    QList<QAction*> m_textSizeSegments;
    QAction* m_saveAsAction = nullptr;
    QAction* m_printAction = nullptr;
    QComboBox* m_textEncodingPopup = nullptr;

    QList<QWebEngineView*> m_webViews;
    QWebEngineView* m_curWebView = nullptr;
    bool m_isSidebarRestored = true;
    bool m_isSelectionChangedProgrammatically = false;
    bool m_searchesInIndex = false;
    int m_customizedEncodingTag = 0;
};
