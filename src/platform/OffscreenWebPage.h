#pragma once

#include <QObject>
#include <QSize>
#include <QTimer>
#include <QUrl>
#include <QVariant>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

class QPageLayout;
class QWebEngineLoadingInfo;
class QWebEnginePage;
class QWebEngineView;

// A web page that loads one URL at a time in a view of its own that never appears on screen,
// and prints itself to PDF into memory. The view gives the page a viewport of a known size, so
// that layout measured by scripts matches what will be printed.
//
// Every wait is bounded: a load or a print that does not end in time is reported as failed,
// so that content which never finishes cannot hold up its caller.
class OffscreenWebPage : public QObject {
    Q_OBJECT
public:
    // The page's profile must outlive this object. viewSize is in CSS pixels.
    OffscreenWebPage(std::unique_ptr<QWebEnginePage> page, const QSize& viewSize);
    ~OffscreenWebPage() override;

    QWebEnginePage& page() const { return *m_page; }
    QWebEngineView& view() const { return *m_view; }
    void resizeView(const QSize& viewSize);

    // Starts loading url; loadEnded follows exactly once: succeeded when url (fragment aside)
    // finished loading, or when the page came to rest still showing it after a navigation it
    // started elsewhere was stopped; failed when url failed, the page came to rest on another
    // document, or the time-out passed.
    void load(const QUrl& url, std::chrono::milliseconds timeout);
    // Runs a script in a world apart from the page's own scripts; done gets its result, or
    // nothing when the page does not answer in time (its own scripts may never yield).
    using ScriptDone = std::function<void(const std::optional<QVariant>&)>;
    void runScript(const QString& source, std::chrono::milliseconds timeout, ScriptDone done);
    // Prints the page; done gets the PDF bytes, empty when printing failed or timed out. The page's
    // own scripts are stopped first, until the next load: the print runs on the page's thread, so
    // a script that never yields (in a timer, or in a handler of the print's own events) would hold
    // it, and the engine cannot let go of a page whose print is held without ending the process.
    void printToPdf(const QPageLayout& layout, std::chrono::milliseconds timeout,
                    std::function<void(const QByteArray&)> done);

    static bool sameDocument(const QUrl& a, const QUrl& b);

    // Lets a page go without bringing the process down, then calls gone: its view is hidden at
    // once and the page destroyed only once the engine has stopped handing the view frames.
    // The engine (Qt 6.4) draws a view's frames on a thread of its own and hands each one to the
    // view's drawing surface; destroyed while a frame is on its way, the surface is called through
    // its half-destroyed object ("pure virtual method called"). Hidden, the view gets no new
    // frames; the wait lets one already drawn arrive. Nothing the page answers meanwhile reaches
    // its caller, and what owns its profile must keep it until gone has been called.
    static void letGo(std::shared_ptr<OffscreenWebPage> page, std::function<void()> gone);
    // How long a hidden view is kept before it is destroyed.
    static constexpr std::chrono::milliseconds kFramesSettleTime{200};

signals:
    void loadEnded(bool succeeded);

private:
    void onLoadingChanged(const QWebEngineLoadingInfo& info);
    void endLoad(bool succeeded);
    void startPrint(const QPageLayout& layout, quint64 generation);
    void endPrint(const QByteArray& bytes);
    void endScript(const std::optional<QVariant>& result);
    // Stops the time-outs and drops the callbacks: nothing more reaches the caller.
    void quieten();
    void stopPageScripts();
    void restorePageScripts();

    std::unique_ptr<QWebEnginePage> m_page;
    std::unique_ptr<QWebEngineView> m_view;
    QUrl m_loadingUrl;
    bool m_loadPending = false;
    bool m_loadStarted = false;
    QTimer m_loadTimer;
    std::function<void(const QByteArray&)> m_printDone;
    quint64 m_printGeneration = 0;
    QTimer m_printTimer;
    ScriptDone m_scriptDone;
    quint64 m_scriptGeneration = 0;
    QTimer m_scriptTimer;
    bool m_closing = false;
    // Whether the page's scripts ran before a print stopped them.
    std::optional<bool> m_scriptsBeforePrint;
};
