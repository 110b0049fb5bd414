#pragma once

#include <QDateTime>
#include <QString>
#include <QVariant>

// What the reader remembers of each CHM file ("last path", "search type", "encoding index"),
// kept in the user default "files info": one entry per file path, each with the date it was last
// written ("updated at"). At most kMaxFiles files are remembered; a write that goes past that
// forgets the file written longest ago.
namespace FilesInfoPreferences {

inline const QString kFilesInfoKey = QStringLiteral("files info");
inline const QString kUpdatedAtKey = QStringLiteral("updated at");
constexpr int kMaxFiles = 20;

void setPreference(const QVariant& value, const QString& filePath, const QString& key,
                   const QDateTime& now = QDateTime::currentDateTime());

// The stored value; an invalid QVariant when the file or the key is unknown.
QVariant getPreferenceforFile(const QString& filePath, const QString& key);

} // namespace FilesInfoPreferences
