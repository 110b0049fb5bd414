#pragma once

#include "app/filelist/FileListItem.h"

#include <QString>
#include <QStringList>

#include <initializer_list>
#include <vector>

namespace FileListTest {

// Creates an empty file below root, with the folders it needs.
void touch(const QString& root, const QString& relative);

FileListItem fileItem(const QString& path);
FileListItem folderItem(const QString& path);
// File items whose paths are the given names ("/r0", "/r1", ...).
std::vector<FileListItem> fileItems(std::initializer_list<const char*> paths);

// The items' paths, relative to root when given; folder items end in "/".
QStringList pathsOf(const std::vector<FileListItem>& items, const QString& root = {});

} // namespace FileListTest
