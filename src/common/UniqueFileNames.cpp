#include "common/UniqueFileNames.h"

#include "common/PathComponents.h"

#include <QDir>
#include <QFile>

#include <sys/stat.h>
#include <unistd.h>

namespace WBQUtil {

namespace {

// Links are not followed: a dangling link still occupies its name, and writing to that name would create
// a file wherever the link points.
bool SomethingExistsAt(const QString& path)
{
    struct stat status {};
    return ::lstat(QFile::encodeName(path).constData(), &status) == 0;
}

bool FolderExistsAt(const QString& path)
{
    struct stat status {};
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 && S_ISDIR(status.st_mode);
}

// unlink() removes a file or a link and refuses folders, so a folder's contents are never lost to a
// replacement.
bool DeleteFileOrLink(const QString& path)
{
    return ::unlink(QFile::encodeName(path).constData()) == 0;
}

QString FileName(const QString& base, const QString& extension)
{
    return extension.isEmpty() ? base : base + QLatin1Char('.') + extension;
}

QString NumberedFileName(const QString& base, qint64 number, const QString& extension)
{
    const QString numbered = base + QLatin1Char(' ') + QString::number(number);
    return FileName(numbered, extension);
}

QString BaseNameOf(const QUrl& source)
{
    const QString path = source.isLocalFile() ? source.toLocalFile() : source.path(QUrl::FullyDecoded);
    return PathComponents::withoutLastExtension(PathComponents::lastComponent(path));
}

} // namespace

QUrl GetUniqueFileURL(const QUrl& folder, const QString& baseName, const QString& extension, bool replace)
{
    if (!folder.isLocalFile())
        return {};
    const QString folderPath = folder.toLocalFile();
    QString candidate = PathComponents::appending(folderPath, FileName(baseName, extension));
    for (qint64 number = 1; SomethingExistsAt(candidate); ++number) {
        if (replace && DeleteFileOrLink(candidate))
            break;
        candidate = PathComponents::appending(folderPath, NumberedFileName(baseName, number, extension));
    }
    return QUrl::fromLocalFile(candidate);
}

QUrl GetUniqueOutputURL(const QUrl& folder, const QUrl& source, const QString& extension, bool replace)
{
    return GetUniqueFileURL(folder, BaseNameOf(source), extension, replace);
}

QUrl GetUniqueFolderURL(const QUrl& parent, const QString& name, bool create)
{
    if (!parent.isLocalFile())
        return {};
    const QString parentPath = parent.toLocalFile();
    QString candidate = PathComponents::appending(parentPath, name);
    for (qint64 number = 1; FolderExistsAt(candidate); ++number)
        candidate = PathComponents::appending(parentPath, name + QLatin1Char(' ') + QString::number(number));
    if (create && !QDir().mkpath(candidate))
        return {};
    return QUrl::fromLocalFile(candidate);
}

QUrl GetUniqueFolderURLForURL(const QUrl& parent, const QUrl& source, bool create)
{
    return GetUniqueFolderURL(parent, BaseNameOf(source), create);
}

} // namespace WBQUtil
