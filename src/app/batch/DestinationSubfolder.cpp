#include "app/batch/DestinationSubfolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>

#include <sys/stat.h>

namespace {

constexpr qint64 kUnknownError = -1;

QString CandidateName(const QString& name, qint64 number)
{
    return number == 0 ? name : name + QLatin1Char(' ') + QString::number(number);
}

// Default attributes: what the user's umask leaves of a full mode.
qint64 MakeFolder(const QString& path)
{
    if (::mkdir(QFile::encodeName(path).constData(), 0777) == 0)
        return 0;
    return errno != 0 ? qint64(errno) : kUnknownError;
}

} // namespace

qint64 GetDestinationDirURLFor(QUrl* folderURL, const QUrl& destinationURL)
{
    if (!destinationURL.isLocalFile() || !folderURL->isLocalFile())
        return kUnknownError;
    const QString name = QFileInfo(QDir::cleanPath(folderURL->toLocalFile())).fileName();
    const QDir destination(destinationURL.toLocalFile());
    for (qint64 number = 0;; ++number) {
        const QString candidate = destination.filePath(CandidateName(name, number));
        const QFileInfo info(candidate);
        if (info.isDir()) {
            *folderURL = QUrl::fromLocalFile(candidate);
            return 0;
        }
        if (info.exists() || info.isSymLink())
            continue; // a file or a dangling link holds this name
        const qint64 error = MakeFolder(candidate);
        if (error == 0)
            *folderURL = QUrl::fromLocalFile(candidate);
        return error;
    }
}
