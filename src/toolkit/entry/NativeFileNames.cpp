#include "toolkit/entry/NativeFileNames.h"

#include "toolkit/Toolkit.h"

#include <QDir>
#include <QFile>
#include <QStringDecoder>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

namespace {

bool IsUTF8(const QByteArray& bytes)
{
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const QString text = decoder.decode(bytes); // decoded only once taken
    return !decoder.hasError();
}

QByteArray FolderOf(const QByteArray& path)
{
    const qsizetype slash = path.lastIndexOf('/');
    return slash <= 0 ? QByteArray("/") : path.left(slash);
}

QByteArray NameOf(const QByteArray& path)
{
    return path.mid(path.lastIndexOf('/') + 1);
}

bool IsFolder(const QByteArray& path)
{
    struct stat info {};
    return ::stat(path.constData(), &info) == 0 && S_ISDIR(info.st_mode);
}

QUrl LocalURL(const QByteArray& utf8Path)
{
    return QUrl::fromLocalFile(QString::fromUtf8(utf8Path));
}

} // namespace

QByteArray NativeFileNames::PathBytes(const QUrl& url)
{
    return QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
}

NativeFileNames::~NativeFileNames()
{
    for (const Rename& rename : m_renames) {
        struct stat info {};
        if (::fstatat(rename.folder, rename.from.constData(), &info, 0) == 0)
            ::renameat(rename.folder, rename.from.constData(), rename.folder, rename.to.constData());
    }
    for (const int descriptor : m_descriptors)
        ::close(descriptor);
}

QUrl NativeFileNames::folderStandIn(const QByteArray& folder)
{
    const int descriptor = ::open(folder.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0)
        return {};
    m_descriptors.push_back(descriptor);
    return LocalURL("/proc/self/fd/" + QByteArray::number(descriptor));
}

QByteArray NativeFileNames::linkFolder()
{
    if (!m_links)
        m_links = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/tomefold-names-XXXXXX"));
    return m_links->isValid() ? QFile::encodeName(m_links->path()) : QByteArray();
}

QUrl NativeFileNames::source(const QUrl& url)
{
    const QByteArray path = PathBytes(url);
    if (!url.isLocalFile() || IsUTF8(path))
        return url;
    if (IsUTF8(NameOf(path))) {
        const QUrl folder = folderStandIn(FolderOf(path));
        return folder.isEmpty() ? url : LocalURL(PathBytes(folder) + '/' + NameOf(path));
    }
    // The link keeps the name as Qt reads it: an output named after the source is named so. Names
    // that read alike get folders of their own.
    const QByteArray links = linkFolder();
    const QByteArray folder = links + '/' + QByteArray::number(m_linkCount++);
    const QByteArray link = folder + '/' + QFile::encodeName(QFile::decodeName(NameOf(path)));
    if (links.isEmpty() || ::mkdir(folder.constData(), 0700) != 0 || ::symlink(path.constData(), link.constData()) != 0)
        return url;
    return LocalURL(link);
}

QUrl NativeFileNames::destinationFolder(const QUrl& url)
{
    const QByteArray path = PathBytes(url);
    if (!url.isLocalFile() || IsUTF8(path))
        return url;
    const QUrl folder = folderStandIn(path);
    return folder.isEmpty() ? url : folder;
}

QUrl NativeFileNames::destinationFile(const QUrl& url)
{
    const QByteArray path = PathBytes(url);
    if (!url.isLocalFile() || IsUTF8(path))
        return url;
    const QUrl folder = folderStandIn(FolderOf(path));
    if (folder.isEmpty())
        return url;
    const QByteArray name = NameOf(path);
    if (IsUTF8(name))
        return LocalURL(PathBytes(folder) + '/' + name);
    const QByteArray standIn = ".tomefold-" + QByteArray::number(::getpid()) + "-" + QByteArray::number(m_renames.size())
                               + "-" + QByteArray::number(quintptr(this), 16);
    m_renames.push_back({m_descriptors.back(), standIn, name});
    return LocalURL(PathBytes(folder) + '/' + standIn);
}

QUrl NativeFileNames::destination(const QUrl& url)
{
    return IsFolder(PathBytes(url)) ? destinationFolder(url) : destinationFile(url);
}

ConversionList NativeFileNames::sources(const ConversionList& items)
{
    ConversionList standIns = items;
    for (ConversionListItem& item : standIns) {
        if (item.contains(ConversionListKey::FilePath))
            item.insert(ConversionListKey::FilePath, source(ConversionListItemFile(item)));
    }
    return standIns;
}

QUrl FileURLFromPathBytes(const QByteArray& path)
{
    return QUrl::fromEncoded("file://" + path.toPercentEncoding("/"), QUrl::StrictMode);
}
