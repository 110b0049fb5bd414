#include "common/FolderWritability.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cerrno>
#include <cstring>

namespace WBQUtil {

QString WhyFolderTakesNoFiles(const QString& folderPath)
{
    const QFileInfo folder(folderPath);
    if (folderPath.isEmpty() || !folder.exists())
        return QString::fromLocal8Bit(std::strerror(ENOENT));
    if (!folder.isDir())
        return QString::fromLocal8Bit(std::strerror(ENOTDIR));
    QTemporaryFile probe(QDir(folderPath).filePath(QStringLiteral(".tomefold-XXXXXX")));
    if (!probe.open())
        return probe.errorString();
    return {};
}

} // namespace WBQUtil
