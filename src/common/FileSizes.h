#pragma once

#include <QUrl>
#include <QtGlobal>

namespace WBQUtil {

// The size in bytes of the file at a local file URL. Returns 0 and sets the size on success, otherwise the
// error number of the failed open (EINVAL for a URL that is not a local file, EISDIR for a folder, whose
// "size" is no byte count).
int GetFileSizeAtURL(const QUrl& file, quint64& size);

// The bytes of all files below the folder at any depth; hidden files and folders and links are skipped.
quint64 GetFolderSize(const QUrl& folder);

} // namespace WBQUtil
