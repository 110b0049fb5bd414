#pragma once

#include <QString>
#include <QUrl>

// Locations for temporary files, named by a new UUID in its upper-case 36-character form. None of these
// functions creates the file itself.
namespace WBQUtil {

// The UUID as a file name in the user's temporary folder.
QUrl GetTemporaryURL();

// The UUID as a file name in a private folder on the same file system as the target, so that the finished
// file can be renamed onto the target; the temporary folder when no such folder can be had.
QUrl GetTemporaryURLAppropriateForURL(const QUrl& target);

// prefix + UUID [+ "." + extension] in the folder, or in the temporary folder when the folder is empty.
QUrl GetTemporaryURLInDirectory(const QString& folder, const QString& prefix, const QString& extension);

// "prefix-UUID" in the temporary folder.
QUrl GetTemporaryURLWithPrefix(const QString& prefix);

} // namespace WBQUtil
