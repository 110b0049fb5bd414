#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// The names of every object a CHM file's directory lists, read from the directory's listing
// chunks themselves. chmlib's enumeration starts at the chunk the directory header calls the
// first listing chunk; files written by Free Pascal's compiler name chunk 1 there although chunk 0
// lists objects too, so once their directory spans several chunks the objects of chunk 0 would be
// missed. Walking every listing chunk finds each object exactly once.
namespace CHMDirectoryListing {

// Object names (raw bytes, as the container lists them) in directory order; none when the file
// is not a readable CHM container.
std::optional<QList<QByteArray>> listObjectNames(const QString& filePath);

// The same over the bytes of the directory (what follows the file header at its directory offset).
std::optional<QList<QByteArray>> listObjectNamesInDirectory(const QByteArray& directory);

} // namespace CHMDirectoryListing
