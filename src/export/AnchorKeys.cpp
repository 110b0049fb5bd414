#include "export/AnchorKeys.h"

#include "chm/TopicPath.h"

namespace AnchorKeys {

// The URL a topic was loaded and printed under: a contents path written with leading slashes
// ("/x.htm") is served as "itss://chm/x.htm", and the links of other topics name it so.
QString topicUrl(const QString& topicPath)
{
    return QStringLiteral("itss://chm/") + TopicPath::loadablePath(topicPath);
}

QString topicKey(const QString& topicPath)
{
    return topicUrl(topicPath).toLower();
}

QString anchorKey(const QString& topicPath, const QString& anchorName)
{
    QString url = topicUrl(topicPath);
    const qsizetype fragment = url.indexOf(QLatin1Char('#'));
    if (fragment >= 0)
        url.truncate(fragment);
    url += QLatin1Char('#') + anchorName;
    return url.toLower();
}

} // namespace AnchorKeys
