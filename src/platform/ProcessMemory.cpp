#include "platform/ProcessMemory.h"

#include <QByteArray>
#include <QFile>
#include <QList>

#include <malloc.h>
#include <unistd.h>

void ReleaseFreedMemory()
{
    // Every arena, the threads' own included.
    ::malloc_trim(0);
}

std::optional<qint64> ResidentBytesOfProcess(qint64 pid)
{
    if (pid <= 0)
        return std::nullopt;
    // "size resident shared ..." in pages.
    QFile statm(QStringLiteral("/proc/%1/statm").arg(pid));
    if (!statm.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    bool ok = false;
    const qint64 pages = fields.size() > 1 ? fields[1].toLongLong(&ok) : 0;
    if (!ok)
        return std::nullopt;
    return pages * static_cast<qint64>(::sysconf(_SC_PAGESIZE));
}
