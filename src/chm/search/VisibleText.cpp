#include "chm/search/VisibleText.h"

#include <libxml/HTMLparser.h>

#include <QStringView>

#include <array>

namespace VisibleText {
namespace {

// Tags inside a word do not end it.
constexpr std::array<QStringView, 27> kInlineTags{
    u"a", u"abbr", u"b", u"bdi", u"bdo", u"big", u"cite", u"code", u"dfn",
    u"em", u"font", u"i", u"kbd", u"mark", u"nobr", u"q", u"s", u"samp",
    u"small", u"span", u"strike", u"strong", u"sub", u"sup", u"tt", u"u", u"var"};

bool isInline(QStringView name)
{
    for (const QStringView tag : kInlineTags) {
        if (name.compare(tag, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

bool isNameChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'-' || c == u':' || c == u'_';
}

const htmlEntityDesc* lookUpEntity(QStringView name)
{
    const QByteArray utf8 = name.toUtf8();
    return htmlEntityLookup(reinterpret_cast<const xmlChar*>(utf8.constData()));
}

// "&...;" at `at`: appends what it stands for and returns the position after it; a lone "&"
// stands for itself.
qsizetype appendReference(QStringView html, qsizetype at, QString& out)
{
    const qsizetype semicolon = html.indexOf(u';', at + 1);
    if (semicolon < 0 || semicolon - at > 32) {
        out += u'&';
        return at + 1;
    }
    const QStringView body = html.mid(at + 1, semicolon - at - 1);
    char32_t code = 0;
    bool ok = false;
    if (body.startsWith(u"#x") || body.startsWith(u"#X"))
        code = body.mid(2).toUInt(&ok, 16);
    else if (body.startsWith(u'#'))
        code = body.mid(1).toUInt(&ok, 10);
    else if (const htmlEntityDesc* entity = lookUpEntity(body)) {
        code = entity->value;
        ok = true;
    }
    if (!ok || code == 0 || code > 0x10FFFF) {
        out += u'&';
        return at + 1;
    }
    out += QString::fromUcs4(&code, 1);
    return semicolon + 1;
}

// The end of a tag's markup from `at` (its "<"): the position after its ">".
qsizetype tagEnd(QStringView html, qsizetype at)
{
    QChar quote;
    for (qsizetype i = at + 1; i < html.size(); ++i) {
        const QChar c = html[i];
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if ((c == u'"' || c == u'\'') && i > 0 && (html[i - 1] == u'=' || html[i - 1].isSpace())) {
            quote = c;
        } else if (c == u'>') {
            return i + 1;
        }
    }
    return html.size();
}

qsizetype skipPast(QStringView html, qsizetype from, QStringView end)
{
    const qsizetype found = html.indexOf(end, from, Qt::CaseInsensitive);
    return found < 0 ? html.size() : found + end.size();
}

} // namespace

QString fromHtml(const QString& source)
{
    const QStringView html(source);
    QString out;
    out.reserve(html.size() / 2);
    qsizetype position = 0;
    while (position < html.size()) {
        const QChar c = html[position];
        if (c == u'&') {
            position = appendReference(html, position, out);
            continue;
        }
        if (c != u'<') {
            out += c;
            ++position;
            continue;
        }
        if (html.mid(position, 4) == u"<!--") {
            position = skipPast(html, position + 4, u"-->");
            out += u' ';
            continue;
        }
        const bool closing = position + 1 < html.size() && html[position + 1] == u'/';
        const qsizetype nameStart = position + (closing ? 2 : 1);
        qsizetype nameEnd = nameStart;
        while (nameEnd < html.size() && isNameChar(html[nameEnd]))
            ++nameEnd;
        const QStringView name = html.mid(nameStart, nameEnd - nameStart);
        const bool declaration = nameStart < html.size() && (html[nameStart] == u'!' || html[nameStart] == u'?');
        if (name.isEmpty() && !closing && !declaration) {
            out += c; // a "<" that starts no markup is text
            ++position;
            continue;
        }
        const qsizetype end = tagEnd(html, position);
        const bool selfClosed = end >= 2 && html[end - 2] == u'/';
        position = end;
        if (!closing && !selfClosed) {
            // Their contents are code, not text; they end only at their own end tag.
            QStringView endTag;
            if (name.compare(u"script", Qt::CaseInsensitive) == 0)
                endTag = u"</script";
            else if (name.compare(u"style", Qt::CaseInsensitive) == 0)
                endTag = u"</style";
            if (!endTag.isEmpty()) {
                const qsizetype found = html.indexOf(endTag, position, Qt::CaseInsensitive);
                position = found < 0 ? html.size() : tagEnd(html, found);
            }
        }
        if (!isInline(name))
            out += u' ';
    }
    return out;
}

} // namespace VisibleText
