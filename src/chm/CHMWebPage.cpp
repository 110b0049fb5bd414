#include "chm/CHMWebPage.h"

#include "chm/ITSSScheme.h"
#include "platform/DesktopServices.h"
#include "platform/OffscreenWebPage.h"

#include <QCoreApplication>
#include <QLoggingCategory>
#include <QWebEngineView>
#include <QWebEngineNewWindowRequest>

namespace {

Q_LOGGING_CATEGORY(lcWebPolicy, "tomefold.web.policy")

// The only other schemes a user may follow out of a help file: web pages and mail.
bool isForTheDesktop(const QUrl& url)
{
    const QString scheme = url.scheme();
    return scheme == QLatin1String("http") || scheme == QLatin1String("https") || scheme == QLatin1String("mailto");
}

} // namespace

CHMWebPage::CHMWebPage(QWebEngineProfile* profile, QObject* parent)
    : QWebEnginePage(profile, parent)
{
    // Windows are asked for through the request, which tells whether the user asked.
    connect(this, &QWebEnginePage::newWindowRequested, this, &CHMWebPage::handleNewWindowRequest);
    // The view that shows the page is not known yet (and may change): its input is recognised
    // as it passes through the application.
    if (QCoreApplication::instance() != nullptr)
        QCoreApplication::instance()->installEventFilter(this);
}

bool CHMWebPage::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type == QEvent::MouseButtonRelease || type == QEvent::KeyPress) {
        const QWebEngineView* view = QWebEngineView::forPage(this);
        if (view != nullptr && watched->isWidgetType()
            && (watched == view || view->isAncestorOf(static_cast<QWidget*>(watched))))
            m_lastUserInput = std::chrono::steady_clock::now();
    }
    return QWebEnginePage::eventFilter(watched, event);
}

bool CHMWebPage::takeUserActivation()
{
    // As long as a browser lets a click count as the user's: what follows a click at once.
    constexpr auto kActivationLifetime = std::chrono::seconds(5);
    const bool active = m_lastUserInput && std::chrono::steady_clock::now() - *m_lastUserInput <= kActivationLifetime;
    m_lastUserInput.reset();
    return active;
}

CHMWebPage::Decision CHMWebPage::decide(bool exportMode, const QUrl& url, NavigationType type, bool isMainFrame,
                                        const QUrl& topicUrl, const ContentFilter& isContent)
{
    // Empty frames (about:blank, about:srcdoc) load nothing from anywhere.
    if (url.scheme() == QLatin1String("about"))
        return Decision::Load;
    // The file's own content: itss objects, and in export mode what the page's filter admits.
    const bool content = ITSSScheme::isITSS(url) || (exportMode && isContent && isContent(url));
    if (!content) {
        const bool userFollowedALink = !exportMode && isMainFrame && type == NavigationTypeLinkClicked;
        return userFollowedALink && isForTheDesktop(url) ? Decision::HandToDesktop : Decision::Refuse;
    }
    if (exportMode && isMainFrame && topicUrl.isValid() && !OffscreenWebPage::sameDocument(url, topicUrl))
        return Decision::Refuse;
    return Decision::Load;
}

CHMWebPage::Decision CHMWebPage::decideNewWindow(bool exportMode, const QUrl& url, bool userInitiated)
{
    if (exportMode)
        return Decision::Refuse;
    if (ITSSScheme::isITSS(url))
        return Decision::OpenTab;
    return userInitiated && isForTheDesktop(url) ? Decision::HandToDesktop : Decision::Refuse;
}

bool CHMWebPage::acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame)
{
    switch (decide(m_exportMode, url, type, isMainFrame, m_topicUrl, m_isContent)) {
    case Decision::Load:
        return true;
    case Decision::HandToDesktop:
        if (!takeUserActivation())
            break;
        DesktopServices::instance().openUrl(url);
        return false;
    case Decision::Refuse:
    case Decision::OpenTab:
        break;
    }
    qCDebug(lcWebPolicy) << "refused navigation to" << url << "type" << type << "main frame" << isMainFrame;
    return false;
}

void CHMWebPage::handleNewWindowRequest(QWebEngineNewWindowRequest& request)
{
    const QUrl url = request.requestedUrl();
    switch (decideNewWindow(m_exportMode, url, request.isUserInitiated())) {
    case Decision::OpenTab:
        emit topicWindowRequested(url);
        return;
    case Decision::HandToDesktop:
        DesktopServices::instance().openUrl(url);
        return;
    case Decision::Load:
    case Decision::Refuse:
        break;
    }
    qCDebug(lcWebPolicy) << "refused window for" << url << "user initiated" << request.isUserInitiated();
}

void CHMWebPage::javaScriptAlert(const QUrl& securityOrigin, const QString& message)
{
    m_openedDialogs = m_openedDialogs || m_exportMode;
    if (!m_exportMode)
        QWebEnginePage::javaScriptAlert(securityOrigin, message);
}

bool CHMWebPage::javaScriptConfirm(const QUrl& securityOrigin, const QString& message)
{
    m_openedDialogs = m_openedDialogs || m_exportMode;
    return !m_exportMode && QWebEnginePage::javaScriptConfirm(securityOrigin, message);
}

bool CHMWebPage::javaScriptPrompt(const QUrl& securityOrigin, const QString& message, const QString& defaultValue,
                                  QString* result)
{
    m_openedDialogs = m_openedDialogs || m_exportMode;
    return !m_exportMode && QWebEnginePage::javaScriptPrompt(securityOrigin, message, defaultValue, result);
}

void CHMWebPage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message, int lineNumber,
                                          const QString& sourceID)
{
    // The scripts of thousands of exported topics would flood the log.
    if (!m_exportMode)
        QWebEnginePage::javaScriptConsoleMessage(level, message, lineNumber, sourceID);
}
