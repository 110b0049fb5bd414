#pragma once

#include <QUrl>
#include <QWebEnginePage>

#include <chrono>
#include <functional>
#include <optional>

class QWebEngineNewWindowRequest;

// A web page that shows the topics of a CHM document: the document's policy and window hooks.
//
// Pages of a CHM file are untrusted content. Outside an export, a link to another scheme than itss
// goes to the desktop only when the user clicked it in the main frame (or clicked a link that asks
// for a new window) and its scheme is http, https or mailto; every other navigation or window to
// another scheme (from a script, a sub-frame, a redirect, a form, or to any other scheme) is refused
// and logged at debug level. During an export nobody is watching: no such navigation or window
// opens anything, nothing goes to the desktop, and the main frame stays on the topic it was told
// to load.
class CHMWebPage : public QWebEnginePage {
    Q_OBJECT
public:
    enum class Decision { Load, Refuse, HandToDesktop, OpenTab };

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

    // The rules by the engine's account of a navigation. A link the engine calls clicked goes to the
    // desktop only if the user's own input in the view also came just before (scripts click too).
    static Decision decide(bool exportMode, const QUrl& url, NavigationType type, bool isMainFrame,
                           const QUrl& topicUrl, const ContentFilter& isContent = {});
    static Decision decideNewWindow(bool exportMode, const QUrl& url, bool userInitiated);

signals:
    // Outside an export: a page asked for a new window on an itss URL (the reader opens a tab).
    void topicWindowRequested(const QUrl& url);

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;
    // Notes the user's clicks and key presses in the view that shows this page.
    bool eventFilter(QObject* watched, QEvent* event) override;
    // During an export nobody can answer a page's dialogs: they are passed over (confirm and
    // prompt answer no) instead of waiting for ever.
    void javaScriptAlert(const QUrl& securityOrigin, const QString& message) override;
    bool javaScriptConfirm(const QUrl& securityOrigin, const QString& message) override;
    bool javaScriptPrompt(const QUrl& securityOrigin, const QString& message, const QString& defaultValue,
                          QString* result) override;
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message, int lineNumber,
                                  const QString& sourceID) override;

private:
    void handleNewWindowRequest(QWebEngineNewWindowRequest& request);
    // True when the user clicked or pressed a key in this page's view a moment ago; consumed.
    bool takeUserActivation();

    bool m_exportMode = false;
    bool m_openedDialogs = false;
    QUrl m_topicUrl;
    // The engine reports a link that a script clicks like one the user clicked: a link goes to the
    // desktop only when the user's own input in the view came just before it.
    std::optional<std::chrono::steady_clock::time_point> m_lastUserInput;
    ContentFilter m_isContent;
};
