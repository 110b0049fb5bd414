#include "common/ItemReplacementFolder.h"

#include "common/PathComponents.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <optional>

#include <sys/stat.h>
#include <unistd.h>

namespace WBQUtil {

namespace {

std::optional<dev_t> DeviceOf(const QString& path)
{
    struct stat status {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        return std::nullopt;
    return status.st_dev;
}

QString ParentOf(const QString& path)
{
    return QFileInfo(path).absolutePath();
}

// The target itself may not exist yet: its file system is that of its nearest existing ancestor.
QString NearestExistingAncestor(const QString& path)
{
    QString current = QFileInfo(path).absoluteFilePath();
    while (!DeviceOf(current) && current != QLatin1String("/"))
        current = ParentOf(current);
    return current;
}

QString TopOfFileSystem(const QString& existingPath, dev_t device)
{
    QString top = existingPath;
    while (top != QLatin1String("/")) {
        const QString parent = ParentOf(top);
        if (DeviceOf(parent) != device)
            break;
        top = parent;
    }
    return top;
}

// The folder is trusted only when it is a real folder (not a link), owned by this user and closed to others,
// so that nobody else can plant files or links where ours are prepared.
bool IsPrivateFolder(const QString& path)
{
    struct stat status {};
    if (::lstat(QFile::encodeName(path).constData(), &status) != 0)
        return false;
    return S_ISDIR(status.st_mode) && status.st_uid == ::getuid() && (status.st_mode & 077) == 0;
}

QString PrivateFolderAtTop(const QString& top)
{
    const QString folder = PathComponents::appending(top, QStringLiteral(".TemporaryItems-%1").arg(::getuid()));
    ::mkdir(QFile::encodeName(folder).constData(), 0700);
    return IsPrivateFolder(folder) ? folder : QString();
}

} // namespace

QString ItemReplacementFolderFor(const QString& targetPath)
{
    const QString existing = NearestExistingAncestor(targetPath);
    const std::optional<dev_t> device = DeviceOf(existing);
    if (!device)
        return {};
    const QString temporary = QDir::tempPath();
    if (DeviceOf(temporary) == device)
        return temporary;
    return PrivateFolderAtTop(TopOfFileSystem(existing, *device));
}

} // namespace WBQUtil
