#pragma once

#include <QUrl>

// One row of the file list: a CHM file, or a folder kept whole whose CHM files are looked up
// when it is exported. Items are plain values that never change once made; the list, a row drag
// and a running batch each hold their own copies, and the same file may stand in the list twice.
struct FileListItem {
    QUrl FilePath;
    bool IsDir = false;

    friend bool operator==(const FileListItem&, const FileListItem&) = default;
};
