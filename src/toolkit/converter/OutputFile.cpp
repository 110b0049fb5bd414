#include "toolkit/converter/OutputFile.h"

#include <QDateTime>
#include <QFile>
#include <QSaveFile>

namespace {

QFileDevice::Permissions PermissionsOfMode(int mode)
{
    QFileDevice::Permissions permissions;
    const std::pair<int, QFileDevice::Permission> bits[] = {
        {0400, QFileDevice::ReadOwner}, {0200, QFileDevice::WriteOwner}, {0100, QFileDevice::ExeOwner}, {0040, QFileDevice::ReadGroup}, {0020, QFileDevice::WriteGroup}, {0010, QFileDevice::ExeGroup}, {0004, QFileDevice::ReadOther}, {0002, QFileDevice::WriteOther}, {0001, QFileDevice::ExeOther}};
    for (const auto& [bit, permission] : bits) {
        if (mode & bit)
            permissions |= permission;
    }
    // Qt's user bits are the owner's on Linux.
    if (mode & 0400)
        permissions |= QFileDevice::ReadUser;
    if (mode & 0200)
        permissions |= QFileDevice::WriteUser;
    if (mode & 0100)
        permissions |= QFileDevice::ExeUser;
    return permissions;
}

} // namespace

void SetOutputFileAttributes(const QString& path, const QVariantMap& attributes)
{
    if (attributes.isEmpty())
        return;
    QFile file(path);
    const QVariant mode = attributes.value(QLatin1String(kFilePosixPermissions));
    if (mode.isValid())
        file.setPermissions(PermissionsOfMode(mode.toInt()));
    const QDateTime modified = attributes.value(QLatin1String(kFileModificationDate)).toDateTime();
    const QDateTime created = attributes.value(QLatin1String(kFileCreationDate)).toDateTime();
    if ((modified.isValid() || created.isValid()) && file.open(QIODevice::ReadWrite | QIODevice::Append)) {
        if (modified.isValid())
            file.setFileTime(modified, QFileDevice::FileModificationTime);
        if (created.isValid())
            file.setFileTime(created, QFileDevice::FileBirthTime);
    }
}

bool CreateOutputFile(const QString& path, const QByteArray& bytes, const QVariantMap& attributes)
{
    if (path.isEmpty())
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return false;
    SetOutputFileAttributes(path, attributes);
    return true;
}
