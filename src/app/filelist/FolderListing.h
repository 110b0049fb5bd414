#pragma once

#include <QList>
#include <QUrl>

// The visible entries of a folder (hidden "." names skipped, sub-folders not opened), as file
// URLs below the folder's own URL. The file system gives no stable order on Linux, so entries
// come in name order: case-insensitive first, exact characters breaking ties. A folder that
// cannot be read lists nothing.
QList<QUrl> ListFolderEntries(const QUrl& folderURL);
