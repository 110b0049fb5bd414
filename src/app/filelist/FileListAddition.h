#pragma once

#include "app/filelist/FileListItem.h"

#include <QList>
#include <QStringList>
#include <QUrl>

#include <vector>

// The items one addition builds away from the main thread, before they join the list.
struct PendingFileListItems {
    std::vector<FileListItem> items;
    // Set once any entry has been offered: the list's sort indicator is cleared even when
    // nothing was accepted.
    bool anEntryWasTried = false;
    // What the user chose that gave no row, by local path: a file that is no CHM file, a file or
    // folder that does not exist, and a folder in which no CHM file was found.
    QStringList notCHMFiles;
    QStringList missing;
    QStringList foldersWithoutCHM;

    bool leftSomethingOut() const
    {
        return !notCHMFiles.isEmpty() || !missing.isEmpty() || !foldersWithoutCHM.isEmpty();
    }
};

// Offers one entry: a folder item always goes in; a file goes in only when it is a CHM file.
// Accepted items are inserted at index, which then moves past them.
void InsertObjectIntoArray(PendingFileListItems& array, const QUrl& url, bool isDir, qint64& index);

// Offers each URL in order. A file is offered as a file. A folder becomes one folder item when
// maintainDirTree is set; otherwise its visible entries are offered, as files only (one level),
// or with addRecursive by this same rule at every depth. A folder reached again below itself
// (through a symbolic link) is not opened a second time, so link loops end. A URL that names
// nothing is not offered; it, and a URL that gave no item, are noted in the array.
void AddUrlsObjIntoArray(PendingFileListItems& array, const QList<QUrl>& urls, bool maintainDirTree,
                         bool addRecursive, qint64& index);
