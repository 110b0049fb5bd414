#include "chm/CHMWebRequestInterceptor.h"

#include "chm/ITSSScheme.h"

bool CHMWebRequestInterceptor::isAllowed(const QUrl& url)
{
    // data: and blob: carry their bytes in the URL or the page itself; about:blank loads nothing.
    const QString scheme = url.scheme();
    return ITSSScheme::isITSS(url) || scheme == QLatin1String("data") || scheme == QLatin1String("blob")
        || scheme == QLatin1String("about");
}

void CHMWebRequestInterceptor::interceptRequest(QWebEngineUrlRequestInfo& info)
{
    if (!isAllowed(info.requestUrl()))
        info.block(true);
}
