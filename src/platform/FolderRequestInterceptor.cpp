#include "platform/FolderRequestInterceptor.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace {

// The path with links resolved where it exists; a file that does not exist cannot be loaded
// anyway, so its cleaned path is enough to judge it.
QString resolvedPath(const QString& path)
{
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(path) : canonical;
}

} // namespace

void FolderRequestInterceptor::setFolder(const QString& folder)
{
    const std::lock_guard guard(m_lock);
    m_folder = folder.isEmpty() ? QString() : resolvedPath(folder);
}

bool FolderRequestInterceptor::isInsideFolder(const QUrl& url, const QString& folder)
{
    // A file URL naming a host is a share on another machine.
    if (folder.isEmpty() || !url.isLocalFile() || !url.host().isEmpty())
        return false;
    const QString path = resolvedPath(url.toLocalFile());
    const QString root = resolvedPath(folder);
    return path == root || path.startsWith(root.endsWith(QLatin1Char('/')) ? root : root + QLatin1Char('/'));
}

bool FolderRequestInterceptor::isAllowed(const QUrl& url) const
{
    // data: and blob: carry their bytes in the URL or the page itself; about:blank loads nothing.
    const QString scheme = url.scheme();
    if (scheme == QLatin1String("data") || scheme == QLatin1String("blob") || scheme == QLatin1String("about"))
        return true;
    const std::lock_guard guard(m_lock);
    return isInsideFolder(url, m_folder);
}

void FolderRequestInterceptor::interceptRequest(QWebEngineUrlRequestInfo& info)
{
    if (!isAllowed(info.requestUrl()))
        info.block(true);
}
