#include "chm/reader/FilesInfoPreferences.h"

#include "common/UserDefaults.h"

#include <QVariantMap>

namespace FilesInfoPreferences {

namespace {

// Among equal dates the file met first stays the candidate. The file just written is never the
// one forgotten, even when the clock was set back.
QString oldestFile(const QVariantMap& filesInfo, const QString& justWritten)
{
    QString oldest;
    QDateTime oldestDate;
    for (auto it = filesInfo.cbegin(); it != filesInfo.cend(); ++it) {
        if (it.key() == justWritten)
            continue;
        const QDateTime updatedAt = it.value().toMap().value(kUpdatedAtKey).toDateTime();
        if (oldest.isNull() || updatedAt < oldestDate) {
            oldest = it.key();
            oldestDate = updatedAt;
        }
    }
    return oldest;
}

} // namespace

void setPreference(const QVariant& value, const QString& filePath, const QString& key, const QDateTime& now)
{
    QVariantMap filesInfo = WBQUtil::GetUserDefault(kFilesInfoKey).toMap();
    QVariantMap entry = filesInfo.value(filePath).toMap();
    entry.insert(key, value);
    entry.insert(kUpdatedAtKey, now);
    filesInfo.insert(filePath, entry);
    if (filesInfo.size() > kMaxFiles)
        filesInfo.remove(oldestFile(filesInfo, filePath));
    WBQUtil::SetUserDefault(filesInfo, kFilesInfoKey);
}

QVariant getPreferenceforFile(const QString& filePath, const QString& key)
{
    return WBQUtil::GetUserDefault(kFilesInfoKey).toMap().value(filePath).toMap().value(key);
}

} // namespace FilesInfoPreferences
