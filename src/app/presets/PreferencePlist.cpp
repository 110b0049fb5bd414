#include "app/presets/PreferencePlist.h"

#include "app/AppInfo.h"
#include "app/presets/PlistVariant.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStandardPaths>

namespace {

// The folder that holds the preference files, created when missing; empty when it cannot be.
QString preferenceFolder()
{
    const QString configRoot = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (configRoot.isEmpty())
        return {};
    const QString folder = QDir(configRoot).filePath(AppInfo::kBundleIdentifier);
    if (!QDir().mkpath(folder))
        return {};
    return folder;
}

QString fileNameFromFormat(const QString& fileNameFormat)
{
    QString name = fileNameFormat;
    return name.replace(QStringLiteral("%@"), AppInfo::kBundleIdentifier);
}

} // namespace

QString PreferencePlistPath(const QString& fileNameFormat)
{
    const QString configRoot = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return QDir(QDir(configRoot).filePath(AppInfo::kBundleIdentifier)).filePath(fileNameFromFormat(fileNameFormat));
}

bool ReadPreferencePlist(QVariantMap* dictionary, const QString& fileNameFormat)
{
    const QString folder = preferenceFolder();
    if (folder.isEmpty() || !dictionary)
        return false;
    QFile file(QDir(folder).filePath(fileNameFromFormat(fileNameFormat)));
    if (!file.open(QIODevice::ReadOnly))
        return false;
    // One byte beyond the limit is enough to tell an oversized file.
    const QByteArray bytes = file.read(PlistVariant::kMaximumBytes + 1);
    const std::optional<QVariant> value = PlistVariant::fromXml(bytes);
    if (!value || value->typeId() != QMetaType::QVariantMap)
        return false;
    *dictionary = value->toMap();
    return true;
}

bool WritePreferencePlist(const QVariantMap& dictionary, const QString& fileNameFormat)
{
    const QString folder = preferenceFolder();
    if (folder.isEmpty())
        return false;
    const QByteArray xml = PlistVariant::toXml(dictionary);
    if (xml.isEmpty())
        return false;
    QSaveFile file(QDir(folder).filePath(fileNameFromFormat(fileNameFormat)));
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(xml) != xml.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}
