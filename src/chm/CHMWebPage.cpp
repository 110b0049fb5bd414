#include "chm/CHMWebPage.h"

#include "chm/ITSSScheme.h"
#include "platform/DesktopServices.h"
#include "platform/OffscreenWebPage.h"

CHMWebPage::CHMWebPage(QWebEngineProfile* profile, QObject* parent)
    : QWebEnginePage(profile, parent)
{
}

CHMWebPage::Decision CHMWebPage::decide(bool exportMode, const QUrl& url, bool isMainFrame, const QUrl& topicUrl,
                                        const ContentFilter& isContent)
{
    // Empty frames (about:blank, about:srcdoc) load nothing from anywhere.
    if (url.scheme() == QLatin1String("about"))
        return Decision::Load;
    const bool content = ITSSScheme::isITSS(url) || (exportMode && isContent && isContent(url));
    if (!content)
        return exportMode ? Decision::Refuse : Decision::HandToDesktop;
    if (exportMode && isMainFrame && topicUrl.isValid() && !OffscreenWebPage::sameDocument(url, topicUrl))
        return Decision::Refuse;
    return Decision::Load;
}

bool CHMWebPage::acceptNavigationRequest(const QUrl& url, NavigationType, bool isMainFrame)
{
    if (m_windowOpener) {
        // This page only stood for a requested window: route its URL, then go away.
        if (ITSSScheme::isITSS(url))
            emit m_windowOpener->newWindowRequested(url);
        else
            DesktopServices::instance().openUrl(url);
        m_windowOpener = nullptr;
        deleteLater();
        return false;
    }
    switch (decide(m_exportMode, url, isMainFrame, m_topicUrl, m_isContent)) {
    case Decision::Load:
        return true;
    case Decision::HandToDesktop:
        DesktopServices::instance().openUrl(url);
        return false;
    case Decision::Refuse:
        return false;
    }
    return false;
}

QWebEnginePage* CHMWebPage::createWindow(WebWindowType)
{
    if (m_exportMode)
        return nullptr;
    // The engine tells the URL of a new window only through the first navigation of the page
    // returned here.
    auto* request = new CHMWebPage(profile(), this);
    request->m_windowOpener = this;
    return request;
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
