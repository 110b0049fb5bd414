#pragma once

#include <QPointer>
#include <QUrl>
#include <QWebEnginePage>

#include <functional>

// A web page that shows the topics of a CHM document: the document's policy and window hooks.
//
// Outside an export a navigation of any frame, or a new window, to a scheme other than itss is
// handed to the desktop instead of being loaded. During an export the page is untrusted content
// that nobody is watching: such navigations and windows open nothing at all, nothing goes to the
// desktop, and the main frame stays on the topic it was told to load.
class CHMWebPage : public QWebEnginePage {
    Q_OBJECT
public:
    enum class Decision { Load, Refuse, HandToDesktop };

    explicit CHMWebPage(QWebEngineProfile* profile, QObject* parent = nullptr);

    void setExportMode(bool exportMode) { m_exportMode = exportMode; }
    bool isExportMode() const { return m_exportMode; }
    // Export mode: the one document the main frame may show (fragments aside).
    void setTopicUrl(const QUrl& url) { m_topicUrl = url; }
    // Export mode: URLs of another scheme that belong to the content shown (its frames may load them),
    // for content that does not come from a CHM file. Nothing else is loaded.
    using ContentFilter = std::function<bool(const QUrl&)>;
    void setContentFilter(ContentFilter isContent) { m_isContent = std::move(isContent); }

    // True once a page shown here opened a dialog during an export. Such a page is not navigated
    // away from: the engine may then ask whether to leave it, in a dialog that nobody answers.
    bool hasOpenedDialogs() const { return m_openedDialogs; }

    static Decision decide(bool exportMode, const QUrl& url, bool isMainFrame, const QUrl& topicUrl,
                           const ContentFilter& isContent = {});

signals:
    // Outside an export: a page asked for a new window on an itss URL (the reader opens a tab).
    void newWindowRequested(const QUrl& url);

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;
    QWebEnginePage* createWindow(WebWindowType type) override;
    // During an export nobody can answer a page's dialogs: they are passed over (confirm and
    // prompt answer no) instead of waiting for ever.
    void javaScriptAlert(const QUrl& securityOrigin, const QString& message) override;
    bool javaScriptConfirm(const QUrl& securityOrigin, const QString& message) override;
    bool javaScriptPrompt(const QUrl& securityOrigin, const QString& message, const QString& defaultValue,
                          QString* result) override;
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message, int lineNumber,
                                  const QString& sourceID) override;

private:
    bool m_exportMode = false;
    bool m_openedDialogs = false;
    QUrl m_topicUrl;
    ContentFilter m_isContent;
    // Set on the short-lived page that stands for a requested window until its URL is known.
    QPointer<CHMWebPage> m_windowOpener;
};
