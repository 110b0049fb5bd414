#include "export/AnchorKeys.h"

namespace AnchorKeys {
namespace {

QString topicUrl(const QString& topicPath)
{
    return QStringLiteral("itss://chm/") + topicPath;
}

} // namespace

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
