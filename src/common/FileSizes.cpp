#include "common/FileSizes.h"

#include "common/FileDescriptor.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>

namespace WBQUtil {

int GetFileSizeAtURL(const QUrl& file, quint64& size)
{
    if (!file.isLocalFile())
        return EINVAL;
    const FileDescriptor descriptor(::open(QFile::encodeName(file.toLocalFile()).constData(), O_RDONLY | O_CLOEXEC));
    if (!descriptor.isOpen())
        return errno;
    struct stat status {};
    if (::fstat(descriptor.get(), &status) != 0)
        return errno;
    if (S_ISDIR(status.st_mode))
        return EISDIR;
    const off_t end = ::lseek(descriptor.get(), 0, SEEK_END);
    if (end < 0)
        return errno;
    size = quint64(end);
    return 0;
}

quint64 GetFolderSize(const QUrl& folder)
{
    if (!folder.isLocalFile())
        return 0;
    quint64 total = 0;
    QDirIterator entries(folder.toLocalFile(), QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot,
                         QDirIterator::Subdirectories);
    while (entries.hasNext()) {
        entries.next();
        const QFileInfo entry = entries.fileInfo();
        if (entry.isFile() && !entry.isSymLink())
            total += quint64(entry.size());
    }
    return total;
}

} // namespace WBQUtil
