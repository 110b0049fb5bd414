#include "app/filelist/FileListAddition.h"

#include "app/filelist/FolderListing.h"
#include "app/filelist/IsCHMFile.h"

#include <QFileInfo>

#include <algorithm>
#include <set>

namespace {

bool IsDirectory(const QUrl& url)
{
    return url.isLocalFile() && QFileInfo(url.toLocalFile()).isDir();
}

// One top-level URL's walk: remembers the folders it has opened, by their real paths.
class FolderWalk {
public:
    FolderWalk(PendingFileListItems& array, qint64& index)
        : array_(array)
        , index_(index)
    {
    }

    void add(const QUrl& url, bool maintainDirTree, bool addRecursive)
    {
        if (!IsDirectory(url)) {
            InsertObjectIntoArray(array_, url, false, index_);
        } else if (maintainDirTree) {
            InsertObjectIntoArray(array_, url, true, index_);
        } else if (addRecursive) {
            addFolderContentsAtEveryDepth(url);
        } else {
            for (const QUrl& entry : ListFolderEntries(url))
                InsertObjectIntoArray(array_, entry, false, index_);
        }
    }

private:
    void addFolderContentsAtEveryDepth(const QUrl& folder)
    {
        const QString realPath = QFileInfo(folder.toLocalFile()).canonicalFilePath();
        if (realPath.isEmpty() || !openedFolders_.insert(realPath).second)
            return;
        for (const QUrl& entry : ListFolderEntries(folder))
            add(entry, false, true);
    }

    PendingFileListItems& array_;
    qint64& index_;
    std::set<QString> openedFolders_;
};

} // namespace

void InsertObjectIntoArray(PendingFileListItems& array, const QUrl& url, bool isDir, qint64& index)
{
    array.anEntryWasTried = true;
    if (!isDir && IsCHMFile(url).isNull())
        return;
    const auto size = static_cast<qint64>(array.items.size());
    const qint64 at = std::clamp<qint64>(index, 0, size);
    array.items.insert(array.items.begin() + at, FileListItem{url, isDir});
    index = at + 1;
}

void AddUrlsObjIntoArray(PendingFileListItems& array, const QList<QUrl>& urls, bool maintainDirTree,
                         bool addRecursive, qint64& index)
{
    for (const QUrl& url : urls) {
        const QFileInfo chosen(url.toLocalFile());
        // Nothing there: not listed, to be reported later as a file that cannot be read.
        if (url.isLocalFile() && !chosen.exists()) {
            array.anEntryWasTried = true;
            array.missing << url.toLocalFile();
            continue;
        }
        const std::size_t before = array.items.size();
        FolderWalk walk(array, index);
        walk.add(url, maintainDirTree, addRecursive);
        if (array.items.size() != before || !url.isLocalFile())
            continue;
        if (chosen.isDir())
            array.foldersWithoutCHM << url.toLocalFile();
        else
            array.notCHMFiles << url.toLocalFile();
    }
}
