#include "toolkit/text/HTMLNesting.h"

#include "toolkit/text/TextReadLimits.h"

#include <QHash>
#include <QSet>

namespace HTMLNesting {

namespace {

struct Tag {
    qsizetype end = -1; // one past the '>'
    QString name;       // lower case
    bool closing = false;
    bool selfClosing = false;
};

// The tag that starts at '<', or a Tag with end -1 when none does (text, comments, declarations).
// nextClose caches the first '>' from where the last search began, so that a page of many '<'
// and no '>' is searched once, not once per '<'.
Tag ReadTag(const QString& html, qsizetype at, qsizetype& nextClose)
{
    Tag tag;
    qsizetype i = at + 1;
    if (i < html.size() && html[i] == u'/') {
        tag.closing = true;
        ++i;
    }
    const qsizetype nameStart = i;
    while (i < html.size() && (html[i].isLetterOrNumber()) && i - nameStart < 16)
        ++i;
    if (i == nameStart || !html[nameStart].isLetter())
        return tag;
    if (nextClose >= 0 && nextClose < i)
        nextClose = html.indexOf(u'>', i);
    const qsizetype close = nextClose;
    if (close < 0)
        return tag;
    tag.name = QStringView(html).sliced(nameStart, i - nameStart).toString().toLower();
    tag.end = close + 1;
    tag.selfClosing = close > at && html[close - 1] == u'/';
    return tag;
}

bool IsTablePart(const QString& name)
{
    static const QSet<QString> parts{"tr", "td", "th", "thead", "tbody", "tfoot", "caption", "col", "colgroup"};
    return parts.contains(name);
}

bool IsContainer(const QString& name)
{
    static const QSet<QString> containers{"div", "ul", "ol", "dl", "dd", "blockquote", "center", "span", "font",
                                          "b", "i", "u", "s", "em", "strong", "code", "small", "big", "sub", "sup",
                                          "a", "pre", "address", "section", "article", "nav", "aside", "header",
                                          "footer", "main", "figure", "q", "cite", "tt", "kbd", "var", "strike",
                                          "del", "ins", "label", "abbr", "nobr"};
    return containers.contains(name);
}

class Filter {
public:
    // What replaces the tag, which is the tag itself when it is kept.
    QString filter(const Tag& tag, QStringView text)
    {
        if (tag.name == u"table")
            return table(tag, text);
        if (IsTablePart(tag.name) && m_flattenedTables > 0)
            return tag.closing || tag.name != u"tr" ? QStringLiteral(" ") : QStringLiteral("<br>");
        if (IsContainer(tag.name) && !tag.selfClosing)
            return container(tag, text);
        return text.toString();
    }

private:
    QString table(const Tag& tag, QStringView text)
    {
        if (tag.selfClosing)
            return {};
        if (!tag.closing) {
            if (m_flattenedTables > 0 || m_tableDepth >= TextReadLimits::kMaxTableNesting) {
                ++m_flattenedTables;
                return QStringLiteral("<br>");
            }
            ++m_tableDepth;
            return text.toString();
        }
        if (m_flattenedTables > 0) {
            --m_flattenedTables;
            return QStringLiteral("<br>");
        }
        if (m_tableDepth > 0)
            --m_tableDepth;
        return text.toString();
    }

    QString container(const Tag& tag, QStringView text)
    {
        int& dropped = m_dropped[tag.name];
        int& kept = m_kept[tag.name];
        if (!tag.closing) {
            if (m_depth >= TextReadLimits::kMaxHTMLNesting) {
                ++dropped;
                return {};
            }
            ++kept;
            ++m_depth;
            return text.toString();
        }
        if (dropped > 0) {
            --dropped;
            return {};
        }
        if (kept > 0) {
            --kept;
            --m_depth;
        }
        return text.toString();
    }

    int m_tableDepth = 0;
    int m_flattenedTables = 0;
    int m_depth = 0;
    QHash<QString, int> m_kept;
    QHash<QString, int> m_dropped;
};

} // namespace

QString Bounded(const QString& html)
{
    QString result;
    result.reserve(html.size());
    Filter filter;
    qsizetype copied = 0;
    qsizetype nextClose = 0;
    for (qsizetype at = html.indexOf(u'<'); at >= 0; at = html.indexOf(u'<', at + 1)) {
        if (QStringView(html).sliced(at).startsWith(QLatin1String("<!--"))) {
            const qsizetype end = html.indexOf(QLatin1String("-->"), at + 4);
            if (end < 0)
                break;
            at = end + 2;
            continue;
        }
        const Tag tag = ReadTag(html, at, nextClose);
        if (tag.end < 0)
            continue;
        result.append(QStringView(html).sliced(copied, at - copied));
        result.append(filter.filter(tag, QStringView(html).sliced(at, tag.end - at)));
        copied = tag.end;
        at = tag.end - 1;
    }
    result.append(QStringView(html).sliced(copied));
    return result;
}

} // namespace HTMLNesting
