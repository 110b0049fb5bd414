#pragma once

#include <QWebEngineUrlRequestInterceptor>

// Keeps the pages of a CHM file inside it: every request the engine would make for a URL of a
// scheme other than itss (or inline data) is blocked, so no page reaches a network or local file.
class CHMWebRequestInterceptor : public QWebEngineUrlRequestInterceptor {
    Q_OBJECT
public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;

    static bool isAllowed(const QUrl& url);
    void interceptRequest(QWebEngineUrlRequestInfo& info) override;
};
