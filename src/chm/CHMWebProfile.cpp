#include "chm/CHMWebProfile.h"

#include "chm/ITSSScheme.h"
#include "platform/UntrustedWebProfile.h"

#include <QWebEngineSettings>

CHMWebProfile::CHMWebProfile(const CHMDocument& document)
    : m_protocol(document)
    , m_profile(UntrustedWebProfile::make())
{
    m_profile->installUrlSchemeHandler(ITSSScheme::kName, &m_protocol);
    m_profile->setUrlRequestInterceptor(&m_interceptor);
    m_profile->settings()->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, false);
}

CHMWebProfile::~CHMWebProfile()
{
    m_profile->removeAllUrlSchemeHandlers();
    m_profile->setUrlRequestInterceptor(nullptr);
}
