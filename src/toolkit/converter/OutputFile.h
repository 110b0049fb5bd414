#pragma once

#include <QByteArray>
#include <QString>
#include <QVariantMap>

// File attribute keys a converter's attribute dictionary may carry (the rest are ignored on Linux):
// permissions as an integer mode ("NSFilePosixPermissions", e.g. 0644) and the modification and creation
// times as QDateTime ("NSFileModificationDate"; "NSFileCreationDate" is applied as the birth time where the
// file system lets it be set, which Linux mostly does not).
inline constexpr const char* kFilePosixPermissions = "NSFilePosixPermissions";
inline constexpr const char* kFileModificationDate = "NSFileModificationDate";
inline constexpr const char* kFileCreationDate = "NSFileCreationDate";

// Creates (or replaces) the file with the bytes, written whole under a temporary name first so that a
// failed write leaves whatever was there; then sets the attributes, whose errors are ignored.
bool CreateOutputFile(const QString& path, const QByteArray& bytes, const QVariantMap& attributes);

// Sets the attributes on an existing file; errors are ignored.
void SetOutputFileAttributes(const QString& path, const QVariantMap& attributes);
