#include "export/AnchorKeys.h"

namespace AnchorKeys {

// The URL a topic was loaded and printed under: a contents path written with leading slashes
// ("/x.htm") is served as "itss://chm/x.htm", and the links of other topics name it so.
QString topicUrl(QString topicPath)
{
    while (topicPath.startsWith(QLatin1Char('/')))
        topicPath.remove(0, 1);
    return QStringLiteral("itss://chm/") + topicPath;
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
