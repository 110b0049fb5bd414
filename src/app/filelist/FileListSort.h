#pragma once

#include "app/filelist/FileListItem.h"

#include <Qt>

#include <vector>

// Orders two items by the paths of their URLs: parent folders first, then names, each with
// FinderCompare, so files group by folder. A missing path sorts after every present one
// whatever the direction. Returns <0, 0 or >0.
int CompareFileListItems(const FileListItem& a, const FileListItem& b, Qt::SortOrder order);

// Sorts the list stably with CompareFileListItems.
void SortFileListItems(std::vector<FileListItem>& items, Qt::SortOrder order);
