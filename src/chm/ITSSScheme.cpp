#include "chm/ITSSScheme.h"

#include <QWebEngineUrlScheme>

namespace ITSSScheme {

void registerITSSScheme()
{
    if (QWebEngineUrlScheme::schemeByName(kName).name() == kName)
        return;
    QWebEngineUrlScheme scheme(kName);
    // Host syntax gives every page of a file one origin ("itss://chm"), so frames of one CHM file
    // can reach each other's documents as they could on the original platform.
    scheme.setSyntax(QWebEngineUrlScheme::Syntax::Host);
    scheme.setDefaultPort(QWebEngineUrlScheme::PortUnspecified);
    scheme.setFlags(QWebEngineUrlScheme::SecureScheme | QWebEngineUrlScheme::CorsEnabled);
    QWebEngineUrlScheme::registerScheme(scheme);
}

bool isITSS(const QUrl& url)
{
    return url.scheme() == QLatin1String(kName);
}

} // namespace ITSSScheme
