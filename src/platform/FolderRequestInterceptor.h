#pragma once

#include <QString>
#include <QWebEngineUrlRequestInterceptor>

#include <mutex>

class QUrl;

// Keeps a page made of local files to its own folder: every request the engine would make is
// blocked unless it names a file inside that folder (or below it), or carries its bytes with it
// (data:, blob:, about:). No host is ever asked for anything, the local machine's included.
class FolderRequestInterceptor : public QWebEngineUrlRequestInterceptor {
    Q_OBJECT
public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;

    // An empty folder allows no file at all.
    void setFolder(const QString& folder);
    bool isAllowed(const QUrl& url) const;
    // Whether url names a file inside folder, links resolved so that none leads out of it.
    static bool isInsideFolder(const QUrl& url, const QString& folder);

    void interceptRequest(QWebEngineUrlRequestInfo& info) override;

private:
    mutable std::mutex m_lock;
    QString m_folder; // canonical path
};
