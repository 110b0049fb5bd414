#include "common/PathComponents.h"

namespace PathComponents {

QString lastComponent(const QString& path)
{
    qsizetype end = path.size();
    while (end > 1 && path.at(end - 1) == QLatin1Char('/'))
        --end;
    const QString trimmed = path.left(end);
    const qsizetype separator = trimmed.lastIndexOf(QLatin1Char('/'));
    if (separator < 0 || trimmed.size() == 1)
        return trimmed;
    return trimmed.mid(separator + 1);
}

QString withoutLastExtension(const QString& name)
{
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot > 0 ? name.left(dot) : name;
}

QString appending(const QString& folder, const QString& name)
{
    if (folder.endsWith(QLatin1Char('/')))
        return folder + name;
    return folder + QLatin1Char('/') + name;
}

} // namespace PathComponents
