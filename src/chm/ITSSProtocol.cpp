#include "chm/ITSSProtocol.h"

#include "chm/CHMDocument.h"
#include "chm/ITSSScheme.h"
#include "chm/PageEncoding.h"
#include "chm/XHTMLRepair.h"
#include "platform/TextEncoding.h"

#include <QBuffer>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QWebEngineUrlRequestJob>

namespace {

bool isPage(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == QLatin1String("htm") || suffix == QLatin1String("html");
}

QByteArray withCharset(QByteArray mimeType, const QString& encodingName)
{
    const QByteArray label = TextEncoding::webCharsetLabel(encodingName);
    if (!label.isEmpty())
        mimeType += "; charset=" + label;
    return mimeType;
}

} // namespace

ITSSProtocol::ITSSProtocol(const CHMDocument& document, QObject* parent)
    : QWebEngineUrlSchemeHandler(parent)
    , m_document(document)
{
}

bool ITSSProtocol::canInitWithRequest(const QUrl& url)
{
    return ITSSScheme::isITSS(url);
}

QString ITSSProtocol::objectPath(const QUrl& url)
{
    return url.path(QUrl::FullyDecoded);
}

QByteArray ITSSProtocol::mimeTypeFor(const QString& path, const QString& encodingName)
{
    if (isPage(path))
        return withCharset("text/html", encodingName);
    static const QMimeDatabase database;
    const QMimeType type = database.mimeTypeForFile(path, QMimeDatabase::MatchExtension);
    const QByteArray name = type.name().toLatin1();
    return type.inherits(QStringLiteral("text/plain")) ? withCharset(name, encodingName) : name;
}

ITSSProtocol::Response ITSSProtocol::responseFor(const QUrl& url) const
{
    Response response;
    if (!canInitWithRequest(url))
        return response;
    QString path = objectPath(url);
    if (!m_document.exist(path))
        path = QUrl::fromPercentEncoding(path.toUtf8());
    response.data = m_document.content(path);
    if (response.data.isNull())
        return response;
    response.found = true;
    if (!isPage(path)) {
        response.mimeType = mimeTypeFor(path, m_document.currentEncodingName());
        return response;
    }
    // The file's code page is only the default: a page that declares its own encoding is read in
    // it, unless the user chose one for every page.
    const PageEncoding::Decision encoding =
        PageEncoding::decide(response.data, m_document.currentEncodingName(), m_document.isEncodingChosen());
    if (XHTMLRepair::isXHTML(response.data))
        response.data = XHTMLRepair::closeSelfClosedElements(response.data);
    response.mimeType = withCharset("text/html", encoding.announce ? encoding.name : QString());
    return response;
}

void ITSSProtocol::requestStarted(QWebEngineUrlRequestJob* job)
{
    const Response response = responseFor(job->requestUrl());
    if (!response.found) {
        job->fail(QWebEngineUrlRequestJob::UrlNotFound);
        return;
    }
    auto* buffer = new QBuffer(job); // the job owns the answer's bytes until the engine has read them
    buffer->setData(response.data);
    job->reply(response.mimeType, buffer);
}
