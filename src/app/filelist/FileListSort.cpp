#include "app/filelist/FileListSort.h"

#include "common/FinderCompare.h"

#include <QString>

#include <algorithm>

namespace {

// A path split as its parent folder and last component, trailing slashes ignored.
struct PathParts {
    QString parent;
    QString name;
};

PathParts SplitPath(const QString& path)
{
    qsizetype end = path.size();
    while (end > 1 && path.at(end - 1) == QLatin1Char('/'))
        --end;
    const QString trimmed = path.left(end);
    const qsizetype slash = trimmed.lastIndexOf(QLatin1Char('/'));
    if (slash < 0)
        return {QString(), trimmed};
    if (slash == 0)
        return {QStringLiteral("/"), trimmed.mid(1)};
    return {trimmed.left(slash), trimmed.mid(slash + 1)};
}

} // namespace

int CompareFileListItems(const FileListItem& a, const FileListItem& b, Qt::SortOrder order)
{
    const QString pathA = a.FilePath.path();
    const QString pathB = b.FilePath.path();
    if (pathA.isEmpty() || pathB.isEmpty())
        return int(pathA.isEmpty()) - int(pathB.isEmpty());

    const PathParts partsA = SplitPath(pathA);
    const PathParts partsB = SplitPath(pathB);
    int result = WBQUtil::FinderCompare(partsA.parent, partsB.parent);
    if (result == 0)
        result = WBQUtil::FinderCompare(partsA.name, partsB.name);
    return order == Qt::DescendingOrder ? -result : result;
}

void SortFileListItems(std::vector<FileListItem>& items, Qt::SortOrder order)
{
    std::stable_sort(items.begin(), items.end(),
        [order](const FileListItem& a, const FileListItem& b) { return CompareFileListItems(a, b, order) < 0; });
}
