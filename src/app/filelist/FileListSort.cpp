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

// The parts an item sorts by, worked out once per item.
struct SortKey {
    bool missing = true;
    PathParts parts;
};

SortKey KeyOf(const FileListItem& item)
{
    const QString path = item.FilePath.path();
    if (path.isEmpty())
        return {};
    return {false, SplitPath(path)};
}

// FinderCompare is 0 only for identical strings, so equal strings skip the collation.
int CompareNames(const QString& string, const QString& other)
{
    return string == other ? 0 : WBQUtil::FinderCompare(string, other);
}

int CompareKeys(const SortKey& a, const SortKey& b, Qt::SortOrder order)
{
    if (a.missing || b.missing)
        return int(a.missing) - int(b.missing);
    int result = CompareNames(a.parts.parent, b.parts.parent);
    if (result == 0)
        result = CompareNames(a.parts.name, b.parts.name);
    return order == Qt::DescendingOrder ? -result : result;
}

} // namespace

int CompareFileListItems(const FileListItem& a, const FileListItem& b, Qt::SortOrder order)
{
    return CompareKeys(KeyOf(a), KeyOf(b), order);
}

void SortFileListItems(std::vector<FileListItem>& items, Qt::SortOrder order)
{
    std::vector<std::pair<SortKey, FileListItem>> keyed;
    keyed.reserve(items.size());
    for (FileListItem& item : items)
        keyed.emplace_back(KeyOf(item), std::move(item));
    std::stable_sort(keyed.begin(), keyed.end(),
        [order](const auto& a, const auto& b) { return CompareKeys(a.first, b.first, order) < 0; });
    for (size_t i = 0; i < keyed.size(); ++i)
        items[i] = std::move(keyed[i].second);
}
