#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>
#include <QWebEngineUrlSchemeHandler>

class CHMDocument;

// Serves itss:// requests of the web engine from one open CHM document. Each answer carries the
// document's encoding name at the moment of the request, so pages loaded after the name changed
// are announced with the new one; a page that declares its own encoding is announced with that one
// unless the user chose an encoding (see PageEncoding), and an XHTML page is served with its empty
// elements closed (see XHTMLRepair).
class ITSSProtocol : public QWebEngineUrlSchemeHandler {
    Q_OBJECT
public:
    struct Response {
        bool found = false;
        QByteArray data;
        QByteArray mimeType;
    };

    explicit ITSSProtocol(const CHMDocument& document, QObject* parent = nullptr);

    static bool canInitWithRequest(const QUrl& url);
    // The object path a URL names: its path with one level of percent escapes decoded (any
    // ";parameter" stays part of it); query and fragment are not part of it.
    static QString objectPath(const QUrl& url);
    // The MIME type an object is served with when its bytes are not looked at: text/html (with the
    // charset when one is known) for pages, a type from the extension for other objects so that
    // the engine shows them.
    static QByteArray mimeTypeFor(const QString& path, const QString& encodingName);

    Response responseFor(const QUrl& url) const;
    void requestStarted(QWebEngineUrlRequestJob* job) override;

private:
    const CHMDocument& m_document;
};
