#include "toolkit/text/HTMLReader.h"

#include "platform/TextEncoding.h"
#include "toolkit/text/HTMLNesting.h"
#include "toolkit/text/LinkedResources.h"
#include "toolkit/text/PlistNesting.h"
#include "toolkit/text/TextReadLimits.h"

#include <QFileInfo>
#include <QHash>
#include <QStringDecoder>
#include <QTextDocument>

#include <plist/plist.h>

#include <cctype>
#include <cstdlib>
#include <memory>

namespace HTMLReader {

namespace {

QString DecodeHTML(const QByteArray& html, const QString& declaredCharset)
{
    if (!declaredCharset.isEmpty()) {
        if (const auto decoded = TextEncoding::decodeLossy(html, declaredCharset))
            return *decoded;
    }
    if (const auto encoding = QStringConverter::encodingForHtml(html)) {
        QStringDecoder decoder(*encoding);
        return decoder(html);
    }
    // a meta charset Qt does not know natively (windows-1251, Shift_JIS, ...)
    const qsizetype charset = html.left(4096).toLower().indexOf("charset=");
    if (charset >= 0) {
        QByteArray name = html.mid(charset + 8, 40);
        name = name.mid(name.startsWith('"') || name.startsWith('\'') ? 1 : 0);
        qsizetype end = 0;
        while (end < name.size() && (std::isalnum(static_cast<unsigned char>(name[end])) || name[end] == '-' || name[end] == '_' || name[end] == ':' || name[end] == '.'))
            ++end;
        if (const auto decoded = TextEncoding::decodeLossy(html, QString::fromLatin1(name.left(end))))
            return *decoded;
    }
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const QString text = utf8(html);
    if (!utf8.hasError())
        return text;
    return TextEncoding::decodeLossy(html, QStringLiteral("CP1252")).value_or(QString::fromLatin1(html));
}

struct PlistDeleter {
    void operator()(void* node) const { plist_free(static_cast<plist_t>(node)); }
};

QByteArray DataValue(plist_t dictionary, const char* key)
{
    plist_t node = plist_dict_get_item(dictionary, key);
    if (!node || plist_get_node_type(node) != PLIST_DATA)
        return {};
    char* bytes = nullptr;
    uint64_t length = 0;
    plist_get_data_val(node, &bytes, &length);
    QByteArray data(bytes, static_cast<qsizetype>(length));
    free(bytes);
    return data;
}

QString StringValue(plist_t dictionary, const char* key)
{
    plist_t node = plist_dict_get_item(dictionary, key);
    if (!node || plist_get_node_type(node) != PLIST_STRING)
        return {};
    // Read with its length: a binary property list can hold a NUL byte inside a string, and
    // copying such a string out makes libplist assert, which ends the process.
    uint64_t length = 0;
    const char* text = plist_get_string_ptr(node, &length);
    if (!text || length > static_cast<uint64_t>(TextReadLimits::kMaxDocumentBytes))
        return {};
    return QString::fromUtf8(text, static_cast<qsizetype>(length));
}

} // namespace

bool ReadHTML(const QByteArray& html, const QUrl& baseURL, QTextDocument& document, QString* error)
{
    if (html.size() > TextReadLimits::kMaxDocumentBytes) {
        if (error)
            *error = QStringLiteral("document too large");
        return false;
    }
    const QString folder = baseURL.isLocalFile() ? QFileInfo(baseURL.toLocalFile()).absolutePath() : QString();
    LinkedResources::SetHtml(document, HTMLNesting::Bounded(DecodeHTML(html, {})), baseURL, folder);
    return true;
}

bool ReadWebArchive(const QByteArray& archive, QTextDocument& document, QString* error)
{
    auto fail = [&](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    if (archive.isEmpty() || archive.size() > TextReadLimits::kMaxDocumentBytes)
        return fail(QStringLiteral("not a web archive"));
    if (!PlistNesting::IsWithin(archive, TextReadLimits::kMaxPlistNesting))
        return fail(QStringLiteral("not a web archive, or one nested beyond the readers' bounds"));
    plist_t parsed = nullptr;
    plist_from_memory(archive.constData(), static_cast<uint32_t>(archive.size()), &parsed);
    const std::unique_ptr<void, PlistDeleter> root(parsed);
    if (!parsed || plist_get_node_type(parsed) != PLIST_DICT)
        return fail(QStringLiteral("not a web archive"));
    plist_t main = plist_dict_get_item(parsed, "WebMainResource");
    if (!main || plist_get_node_type(main) != PLIST_DICT)
        return fail(QStringLiteral("a web archive without a main resource"));
    const QByteArray html = DataValue(main, "WebResourceData");
    const QUrl base(StringValue(main, "WebResourceURL"));
    QHash<QUrl, QByteArray> pictures;
    qint64 pictureBytes = 0;
    plist_t subresources = plist_dict_get_item(parsed, "WebSubresources");
    if (subresources && plist_get_node_type(subresources) == PLIST_ARRAY) {
        const uint32_t count = plist_array_get_size(subresources);
        for (uint32_t i = 0; i < count; ++i) {
            plist_t resource = plist_array_get_item(subresources, i);
            if (!resource || plist_get_node_type(resource) != PLIST_DICT
                || !StringValue(resource, "WebResourceMIMEType").startsWith(QLatin1String("image/")))
                continue;
            const QByteArray data = DataValue(resource, "WebResourceData");
            if (data.size() <= TextReadLimits::kMaxEmbeddedObjectBytes
                && pictureBytes + data.size() <= TextReadLimits::kMaxLinkedResourceBytes) {
                pictureBytes += data.size();
                pictures.insert(QUrl(StringValue(resource, "WebResourceURL")), data);
            }
        }
    }
    // The archive carries its pictures; its page's address names no folder of ours.
    LinkedResources::SetHtml(document, HTMLNesting::Bounded(DecodeHTML(html, StringValue(main, "WebResourceTextEncodingName"))),
                             base, QString(), pictures);
    return true;
}

} // namespace HTMLReader
