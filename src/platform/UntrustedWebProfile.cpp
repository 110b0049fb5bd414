#include "platform/UntrustedWebProfile.h"

#include "platform/PeerConnectionBlock.h"

#include <QWebEngineSettings>

namespace UntrustedWebProfile {

std::unique_ptr<QWebEngineProfile> make()
{
    // Before the profile: it may be the first the process makes, which starts the engine.
    PeerConnectionBlock::restrictEngine();
    auto profile = std::make_unique<QWebEngineProfile>();
    profile->setHttpCacheType(QWebEngineProfile::NoCache);
    profile->setPersistentCookiesPolicy(QWebEngineProfile::NoPersistentCookies);
    PeerConnectionBlock::install(*profile);
    QWebEngineSettings* settings = profile->settings();
    // A failed load must show nothing rather than the engine's error page, which would be printed.
    settings->setAttribute(QWebEngineSettings::ErrorPageEnabled, false);
    settings->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
    settings->setAttribute(QWebEngineSettings::PluginsEnabled, false);
    settings->setAttribute(QWebEngineSettings::PdfViewerEnabled, false);
    settings->setAttribute(QWebEngineSettings::AutoLoadIconsForPage, false);
    settings->setAttribute(QWebEngineSettings::DnsPrefetchEnabled, false);
    settings->setAttribute(QWebEngineSettings::WebRTCPublicInterfacesOnly, true);
    return profile;
}

} // namespace UntrustedWebProfile
