#include "app/filelist/FolderListing.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace {

bool NameOrder(const QFileInfo& a, const QFileInfo& b)
{
    const int folded = a.fileName().compare(b.fileName(), Qt::CaseInsensitive);
    if (folded != 0)
        return folded < 0;
    return a.fileName().compare(b.fileName(), Qt::CaseSensitive) < 0;
}

} // namespace

QList<QUrl> ListFolderEntries(const QUrl& folderURL)
{
    if (!folderURL.isLocalFile())
        return {};
    // System keeps dangling links and other special entries: they are judged by name like any file.
    QFileInfoList entries = QDir(folderURL.toLocalFile())
                                .entryInfoList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot, QDir::NoSort);
    std::sort(entries.begin(), entries.end(), NameOrder);

    QList<QUrl> urls;
    urls.reserve(entries.size());
    for (const QFileInfo& entry : entries)
        urls.append(QUrl::fromLocalFile(entry.filePath()));
    return urls;
}
