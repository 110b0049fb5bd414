// A whole CHM file, written to a file of its own and opened as the batch opens it: the container
// check, chmlib, the metadata and both sitemaps; then every object the directory lists is read
// through the document and every object chmlib enumerates is read through chmlib.

#include "chm/CHMDirectoryListing.h"
#include "chm/CHMDocument.h"

#include "FuzzInput.h"

#include <QDir>
#include <QFile>
#include <QUrl>

#include <chm_lib.h>

#include <unistd.h>

namespace {

// Objects larger than this are read only in part: the reads are what is being tried, not the size.
constexpr LONGINT64 kLargestRead = 1 << 20;
constexpr int kMostObjects = 256;

// One file per process, removed when the process ends.
struct InputFile {
    QString path = QDir::temp().filePath(QStringLiteral("tomefold-fuzz-%1.chm").arg(::getpid()));
    ~InputFile() { QFile::remove(path); }
};

QString inputPath()
{
    static const InputFile file;
    return file.path;
}

int readEnumerated(chmFile* handle, chmUnitInfo* info, void* context)
{
    auto* remaining = static_cast<int*>(context);
    if (--*remaining < 0)
        return CHM_ENUMERATOR_SUCCESS;
    QByteArray buffer(static_cast<qsizetype>(std::min<LONGUINT64>(info->length, kLargestRead)), Qt::Uninitialized);
    if (!buffer.isEmpty())
        chm_retrieve_object(handle, info, reinterpret_cast<unsigned char*>(buffer.data()), 0, buffer.size());
    return CHM_ENUMERATOR_CONTINUE;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    {
        QFile file(inputPath());
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    }
    CHMDocument document;
    if (!document.readFromURL(QUrl::fromLocalFile(inputPath()), QStringLiteral("CHM")))
        return 0;
    const QList<QByteArray> names = CHMDirectoryListing::listObjectNames(inputPath()).value_or(QList<QByteArray>());
    for (const QByteArray& name : names.mid(0, kMostObjects)) {
        const QString path = QString::fromUtf8(name);
        if (document.exist(path))
            document.content(path);
    }
    int remaining = kMostObjects;
    chm_enumerate(document.chmFileHandle(), CHM_ENUMERATE_ALL, readEnumerated, &remaining);
    return 0;
}
