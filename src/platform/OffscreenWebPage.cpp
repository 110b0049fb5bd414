#include "platform/OffscreenWebPage.h"

#include <QCoreApplication>
#include <QPageLayout>
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineSettings>
#include <QWebEngineView>

#include <utility>

namespace {

// Far beyond the top left corner of any arrangement of screens.
constexpr int kOffScreen = -100000;

} // namespace

OffscreenWebPage::OffscreenWebPage(std::unique_ptr<QWebEnginePage> page, const QSize& viewSize)
    : m_page(std::move(page))
    , m_view(std::make_unique<QWebEngineView>())
{
    // The view must be shown for the page to get a viewport, but it never appears on a screen. The
    // engine shows the view's window on the display all the same, where it would lie over the
    // application's own windows and keep their updates from being seen: so it is a window no
    // window manager handles, that takes neither focus nor input, placed beyond every screen.
    m_view->setAttribute(Qt::WA_DontShowOnScreen);
    m_view->setAttribute(Qt::WA_ShowWithoutActivating);
    m_view->setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::X11BypassWindowManagerHint
                           | Qt::WindowDoesNotAcceptFocus | Qt::WindowTransparentForInput);
    m_view->setPage(m_page.get());
    m_view->resize(viewSize);
    m_view->move(kOffScreen, kOffScreen);
    m_view->show();

    m_loadTimer.setSingleShot(true);
    m_printTimer.setSingleShot(true);
    m_scriptTimer.setSingleShot(true);
    connect(&m_loadTimer, &QTimer::timeout, this, [this] { endLoad(false); });
    connect(&m_printTimer, &QTimer::timeout, this, [this] { endPrint({}); });
    connect(&m_scriptTimer, &QTimer::timeout, this, [this] { endScript(std::nullopt); });
    connect(m_page.get(), &QWebEnginePage::loadingChanged, this, &OffscreenWebPage::onLoadingChanged);
}

OffscreenWebPage::~OffscreenWebPage()
{
    // Pending script and print callbacks are answered while the page goes away: ignore them.
    quieten();
    m_page->disconnect(this);
    m_view.reset();
    m_page.reset();
}

void OffscreenWebPage::quieten()
{
    m_closing = true;
    m_loadTimer.stop();
    m_printTimer.stop();
    m_scriptTimer.stop();
    m_printDone = nullptr;
    m_scriptDone = nullptr;
}

void OffscreenWebPage::letGo(std::shared_ptr<OffscreenWebPage> page, std::function<void()> gone)
{
    if (page) {
        page->quieten();
        page->disconnect();
        page->m_page->triggerAction(QWebEnginePage::Stop);
        page->m_view->hide();
    }
    QTimer::singleShot(kFramesSettleTime, QCoreApplication::instance(),
                       [page = std::move(page), gone = std::move(gone)]() mutable {
                           page.reset();
                           if (gone)
                               gone();
                       });
}

void OffscreenWebPage::resizeView(const QSize& viewSize)
{
    m_view->resize(viewSize);
}

bool OffscreenWebPage::sameDocument(const QUrl& a, const QUrl& b)
{
    // The engine may escape a URL differently from the way it was asked for: compare decoded parts.
    const QUrl first = a.adjusted(QUrl::NormalizePathSegments);
    const QUrl second = b.adjusted(QUrl::NormalizePathSegments);
    return first.scheme() == second.scheme() && first.host() == second.host() && first.port() == second.port()
           && first.path(QUrl::FullyDecoded) == second.path(QUrl::FullyDecoded)
           && first.query(QUrl::FullyDecoded) == second.query(QUrl::FullyDecoded);
}

void OffscreenWebPage::load(const QUrl& url, std::chrono::milliseconds timeout)
{
    m_loadingUrl = url;
    m_loadPending = true;
    m_loadStarted = false;
    m_loadTimer.start(timeout);
    restorePageScripts();
    m_page->load(url);
}

void OffscreenWebPage::onLoadingChanged(const QWebEngineLoadingInfo& info)
{
    if (!m_loadPending)
        return;
    if (info.status() == QWebEngineLoadingInfo::LoadStartedStatus) {
        m_loadStarted = m_loadStarted || sameDocument(info.url(), m_loadingUrl);
        return;
    }
    // Ends of what the page did before this load began belong to an earlier load.
    if (!m_loadStarted)
        return;
    if (sameDocument(info.url(), m_loadingUrl)) {
        endLoad(info.status() == QWebEngineLoadingInfo::LoadSucceededStatus);
        return;
    }
    // Another navigation ended: one the page started and that was refused or stopped. When the
    // page has come to rest its last completion is the load's end: still showing the document
    // asked for, the load succeeded; showing another, it did not end at the document asked for.
    if (!m_page->isLoading())
        endLoad(sameDocument(m_page->url(), m_loadingUrl));
}

void OffscreenWebPage::endLoad(bool succeeded)
{
    if (!m_loadPending || m_closing)
        return;
    m_loadPending = false;
    m_loadTimer.stop();
    if (!succeeded)
        m_page->triggerAction(QWebEnginePage::Stop);
    emit loadEnded(succeeded);
}

void OffscreenWebPage::runScript(const QString& source, std::chrono::milliseconds timeout, ScriptDone done)
{
    const quint64 generation = ++m_scriptGeneration;
    m_scriptDone = std::move(done);
    m_scriptTimer.start(timeout);
    m_page->runJavaScript(source, QWebEngineScript::ApplicationWorld, [this, generation](const QVariant& result) {
        if (!m_closing && generation == m_scriptGeneration)
            endScript(std::optional<QVariant>(result));
    });
}

void OffscreenWebPage::endScript(const std::optional<QVariant>& result)
{
    m_scriptTimer.stop();
    ++m_scriptGeneration; // a late answer after a time-out is passed over
    if (ScriptDone done = std::exchange(m_scriptDone, nullptr))
        done(result);
}

void OffscreenWebPage::printToPdf(const QPageLayout& layout, std::chrono::milliseconds timeout,
                                  std::function<void(const QByteArray&)> done)
{
    const quint64 generation = ++m_printGeneration;
    m_printDone = std::move(done);
    m_printTimer.start(timeout);
    stopPageScripts();
    // The print is asked for only once a script of ours has run after the stop: the page's thread
    // is free then, and none of the page's scripts can start again. A page that is already held
    // never gets a print to hold, and its time-out ends a wait the page can safely be let go in.
    m_page->runJavaScript(QStringLiteral("true"), QWebEngineScript::ApplicationWorld,
                          [this, generation, layout](const QVariant&) {
                              if (!m_closing && generation == m_printGeneration)
                                  startPrint(layout, generation);
                          });
}

void OffscreenWebPage::startPrint(const QPageLayout& layout, quint64 generation)
{
    m_page->printToPdf(
        [this, generation](const QByteArray& bytes) {
            if (!m_closing && generation == m_printGeneration)
                endPrint(bytes);
        },
        layout);
}

void OffscreenWebPage::endPrint(const QByteArray& bytes)
{
    m_printTimer.stop();
    ++m_printGeneration; // a late answer of the engine after a time-out is passed over
    if (std::function<void(const QByteArray&)> done = std::exchange(m_printDone, nullptr))
        done(bytes);
}

void OffscreenWebPage::stopPageScripts()
{
    // Scripts run by this object live in a world of their own, which the setting leaves running.
    QWebEngineSettings* settings = m_page->settings();
    if (!m_scriptsBeforePrint)
        m_scriptsBeforePrint = settings->testAttribute(QWebEngineSettings::JavascriptEnabled);
    settings->setAttribute(QWebEngineSettings::JavascriptEnabled, false);
}

void OffscreenWebPage::restorePageScripts()
{
    if (const std::optional<bool> before = std::exchange(m_scriptsBeforePrint, std::nullopt))
        m_page->settings()->setAttribute(QWebEngineSettings::JavascriptEnabled, *before);
}
