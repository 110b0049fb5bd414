#include "chm/TopicPath.h"

#include "platform/TextEncoding.h"

#include <QByteArray>
#include <QStringList>
#include <QUrl>

namespace {

QStringView withoutLeadingSlashes(QStringView path)
{
    qsizetype start = 0;
    while (start < path.size() && path[start] == u'/')
        ++start;
    return path.mid(start);
}

QStringView withoutFragmentAndQuery(QStringView path)
{
    for (qsizetype i = 0; i < path.size(); ++i) {
        if (path[i] == u'#' || path[i] == u'?')
            return path.left(i);
    }
    return path;
}

// "a/./b/../c.htm" -> "a/c.htm"; ".." above the top stays at the top, as in URL resolution.
QString withoutDotSegments(const QString& path)
{
    const QStringList segments = path.split(u'/');
    QStringList kept;
    for (const QString& segment : segments) {
        if (segment == QLatin1String("..")) {
            if (!kept.isEmpty())
                kept.removeLast();
        } else if (segment != QLatin1String(".")) {
            kept.append(segment);
        }
    }
    return kept.join(u'/');
}

// Escapes that decode to no UTF-8 stay as written, so that two such names are not both taken for
// the same replacement characters.
QString percentDecoded(QStringView text)
{
    if (!text.contains(u'%'))
        return text.toString();
    return TextEncoding::decodeStrict(QByteArray::fromPercentEncoding(text.toUtf8()), QStringLiteral("UTF-8"))
        .value_or(text.toString());
}

} // namespace

namespace TopicPath {

QString pageKey(const QString& path)
{
    const QStringView object = withoutLeadingSlashes(withoutFragmentAndQuery(path));
    return withoutDotSegments(percentDecoded(object)).toCaseFolded();
}

bool isSamePage(const QString& a, const QString& b)
{
    const QString keyA = pageKey(a);
    return !keyA.isEmpty() && keyA == pageKey(b);
}

bool matchesLookup(const QString& nodePath, const QString& lookup)
{
    const QStringView node = withoutLeadingSlashes(nodePath);
    const QStringView wanted = withoutLeadingSlashes(lookup);
    if (wanted.isEmpty() || !node.startsWith(wanted, Qt::CaseInsensitive))
        return false;
    if (node.size() == wanted.size())
        return true;
    const QChar next = node[wanted.size()];
    return next == u'#' || next == u'?';
}

QString loadablePath(const QString& path)
{
    return withoutLeadingSlashes(path).toString();
}

QString percentEscaped(const QString& path)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(path, QByteArrayLiteral("!#$&'()*+,/:;=?@~")));
}

} // namespace TopicPath
