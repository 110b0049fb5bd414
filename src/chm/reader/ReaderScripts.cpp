#include "chm/reader/ReaderScripts.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QStringDecoder>

// Outside any namespace: the macro declares the resource's own initialiser.
static void initHighlightResource()
{
    Q_INIT_RESOURCE(highlight);
}

namespace ReaderScripts {

QString stringLiteral(const QString& text)
{
    // A JSON string is a valid JavaScript string literal; the array is stripped off again.
    const QByteArray json = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    QString literal = QString::fromUtf8(json.mid(1, json.size() - 2));
    // Line and paragraph separators end a literal in older script engines.
    literal.replace(QChar(0x2028), QStringLiteral("\\u2028"));
    literal.replace(QChar(0x2029), QStringLiteral("\\u2029"));
    return literal;
}

QString guarded(const QString& script)
{
    return QStringLiteral("try{ %1; } catch(e){console.log(e.toString());}").arg(script);
}

QString highlightString(const QString& text)
{
    return QStringLiteral("highlight(document.body, %1)").arg(stringLiteral(text));
}

QString removeHighlight()
{
    return QStringLiteral("removeHighlight();");
}

QString scrollToHighlight(int direction)
{
    return QStringLiteral("scrollToHighlight(%1)").arg(direction);
}

QString highlightSource()
{
    initHighlightResource();
    QFile file(QStringLiteral(":/reader/highlight.js"));
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    const QByteArray bytes = file.readAll();
    // UTF-8 first; a byte-order mark names another encoding.
    auto decoder = QStringDecoder::encodingForData(bytes);
    QStringDecoder decode(decoder.value_or(QStringDecoder::Utf8));
    return decode(bytes);
}

} // namespace ReaderScripts
