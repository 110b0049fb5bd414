#pragma once

#include "chm/CHMWebRequestInterceptor.h"
#include "chm/ITSSProtocol.h"

#include <QWebEngineProfile>

class CHMDocument;

// The web engine profile of one CHM document: off the record, serving itss:// from that document,
// blocking every other request and showing no error pages of the engine. Every page that shows
// the document's topics uses it, and must be destroyed before it.
class CHMWebProfile {
public:
    explicit CHMWebProfile(const CHMDocument& document);
    ~CHMWebProfile();
    CHMWebProfile(const CHMWebProfile&) = delete;
    CHMWebProfile& operator=(const CHMWebProfile&) = delete;

    QWebEngineProfile* profile() { return &m_profile; }

private:
    ITSSProtocol m_protocol;
    CHMWebRequestInterceptor m_interceptor;
    QWebEngineProfile m_profile; // declared last: goes first, before the handlers it uses
};
