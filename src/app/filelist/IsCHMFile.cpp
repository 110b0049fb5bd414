#include "app/filelist/IsCHMFile.h"

namespace {

// The extension of the path's last component, ignoring trailing slashes ("a/x.chm/" gives "chm").
QString PathExtension(const QString& path)
{
    qsizetype end = path.size();
    while (end > 1 && path.at(end - 1) == QLatin1Char('/'))
        --end;
    const QStringView trimmed = QStringView(path).left(end);
    const qsizetype nameStart = trimmed.lastIndexOf(QLatin1Char('/')) + 1;
    const qsizetype dot = trimmed.lastIndexOf(QLatin1Char('.'));
    if (dot < nameStart)
        return {};
    return trimmed.mid(dot + 1).toString();
}

} // namespace

QString IsCHMFile(const QUrl& fileURL)
{
    const QString extension = PathExtension(fileURL.path());
    if (kAcceptedCHMTypes.contains(extension))
        return extension;
    return {};
}
