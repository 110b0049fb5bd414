#include "common/FileReplacement.h"

#include "common/TemporaryFileNames.h"
#include "common/URLComparision.h"
#include "common/WholeFileIO.h"

#include <QFile>
#include <QFileInfo>

#include <cstdio>

#include <sys/stat.h>
#include <unistd.h>

namespace WBQUtil {

namespace {

bool StatusOf(const QByteArray& path, struct stat& status)
{
    return ::lstat(path.constData(), &status) == 0;
}

bool IsFolder(const QByteArray& path)
{
    struct stat status {};
    return ::stat(path.constData(), &status) == 0 && S_ISDIR(status.st_mode);
}

// The copy keeps the new file's permissions, as a rename would.
bool CopyBesideAndRename(const QByteArray& newPath, mode_t mode, const QByteArray& targetPath)
{
    const QString folder = QFileInfo(QFile::decodeName(targetPath)).absolutePath();
    const QUrl temporaryUrl = GetTemporaryURLInDirectory(folder, QStringLiteral("."), QStringLiteral("part"));
    const QByteArray temporary = QFile::encodeName(temporaryUrl.toLocalFile());
    const bool placed = copyFile(newPath.constData(), temporary.constData()) == 0 &&
                        ::chmod(temporary.constData(), mode & 07777) == 0 &&
                        std::rename(temporary.constData(), targetPath.constData()) == 0;
    if (!placed)
        ::unlink(temporary.constData());
    return placed;
}

} // namespace

bool ReplaceFileAtURL(const QUrl& newFile, const QUrl& target)
{
    if (newFile.isEmpty() || target.isEmpty())
        return false;
    if (URLComparision::isEqualToURL(newFile, target))
        return true;
    if (!newFile.isLocalFile() || !target.isLocalFile())
        return false;
    const QByteArray newPath = QFile::encodeName(newFile.toLocalFile());
    const QByteArray targetPath = QFile::encodeName(target.toLocalFile());
    struct stat newStatus {};
    if (!StatusOf(newPath, newStatus) || IsFolder(targetPath))
        return false;
    if (std::rename(newPath.constData(), targetPath.constData()) == 0)
        return true;
    if (!CopyBesideAndRename(newPath, newStatus.st_mode, targetPath))
        return false;
    ::unlink(newPath.constData());
    return true;
}

} // namespace WBQUtil
