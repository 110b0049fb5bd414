#include "chm/CHMWebProfile.h"

#include "chm/ITSSScheme.h"

#include <QWebEngineSettings>

CHMWebProfile::CHMWebProfile(const CHMDocument& document)
    : m_protocol(document)
{
    m_profile.setHttpCacheType(QWebEngineProfile::NoCache);
    m_profile.setPersistentCookiesPolicy(QWebEngineProfile::NoPersistentCookies);
    m_profile.installUrlSchemeHandler(ITSSScheme::kName, &m_protocol);
    m_profile.setUrlRequestInterceptor(&m_interceptor);

    QWebEngineSettings* settings = m_profile.settings();
    // A failed load must show nothing rather than the engine's error page, which would be printed.
    settings->setAttribute(QWebEngineSettings::ErrorPageEnabled, false);
    settings->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, false);
    settings->setAttribute(QWebEngineSettings::PluginsEnabled, false);
    settings->setAttribute(QWebEngineSettings::PdfViewerEnabled, false);
    settings->setAttribute(QWebEngineSettings::AutoLoadIconsForPage, false);
}

CHMWebProfile::~CHMWebProfile()
{
    m_profile.removeAllUrlSchemeHandlers();
    m_profile.setUrlRequestInterceptor(nullptr);
}
