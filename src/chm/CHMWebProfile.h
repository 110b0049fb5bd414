#pragma once

#include "chm/CHMWebRequestInterceptor.h"
#include "chm/ITSSProtocol.h"

#include <QWebEngineProfile>

#include <memory>

class CHMDocument;

// The web engine profile of one CHM document: an untrusted one (UntrustedWebProfile) serving
// itss:// from that document and blocking every other request. Every page that shows
// the document's topics uses it, and must be destroyed before it.
class CHMWebProfile {
public:
    explicit CHMWebProfile(const CHMDocument& document);
    ~CHMWebProfile();
    CHMWebProfile(const CHMWebProfile&) = delete;
    CHMWebProfile& operator=(const CHMWebProfile&) = delete;

    QWebEngineProfile* profile() { return m_profile.get(); }

private:
    ITSSProtocol m_protocol;
    CHMWebRequestInterceptor m_interceptor;
    std::unique_ptr<QWebEngineProfile> m_profile; // declared last: goes first, before the handlers it uses
};
