#pragma once

#include <QString>
#include <QUrl>

// Names for output files and sub-folders that do not clash with anything already in the destination.
// Nothing reserves a chosen name: another writer may take it between the test and the caller's write.
namespace WBQUtil {

// The first of "base.extension", "base 1.extension", "base 2.extension", ... in the folder at which nothing
// exists (a dangling link counts as something). An empty extension gives "base", "base 1", ... without a dot.
// With replace set, an existing file or link at a candidate is deleted and that candidate returned; a folder
// is never deleted, and a candidate that cannot be deleted moves the search on to the next number.
// Returns an empty URL when the folder is not a local file URL.
QUrl GetUniqueFileURL(const QUrl& folder, const QString& baseName, const QString& extension, bool replace);

// As GetUniqueFileURL, the base name being the source's last path component without its last extension
// ("User.Guide.chm" gives "User.Guide").
QUrl GetUniqueOutputURL(const QUrl& folder, const QUrl& source, const QString& extension, bool replace);

// The first of "name", "name 1", "name 2", ... in the parent that is not an existing folder (a plain file
// of that name does not count). With create set the folder is made, with any missing parents; the result
// is empty when that fails.
QUrl GetUniqueFolderURL(const QUrl& parent, const QString& name, bool create);

// As GetUniqueFolderURL, the name being the source's last path component without its last extension.
QUrl GetUniqueFolderURLForURL(const QUrl& parent, const QUrl& source, bool create);

} // namespace WBQUtil
