#include "common/TemporaryFileNames.h"

#include "common/ItemReplacementFolder.h"
#include "common/PathComponents.h"

#include <QDir>
#include <QUuid>

#include <optional>

namespace WBQUtil {

namespace {

std::optional<QString> NewUUIDText()
{
    const QUuid uuid = QUuid::createUuid();
    if (uuid.isNull())
        return std::nullopt;
    return uuid.toString(QUuid::WithoutBraces).toUpper();
}

// A temporary name that cannot be made is a broken system, not a condition callers can handle.
QString RequiredUUIDText(const char* function)
{
    const std::optional<QString> text = NewUUIDText();
    if (!text)
        qFatal("%s (WBQUtil): assertion failed: uuid != NULL", function);
    return *text;
}

QUrl FileIn(const QString& folder, const QString& name)
{
    return QUrl::fromLocalFile(PathComponents::appending(folder, name));
}

} // namespace

QUrl GetTemporaryURL()
{
    const std::optional<QString> uuid = NewUUIDText();
    if (!uuid)
        return {};
    return FileIn(QDir::tempPath(), *uuid);
}

QUrl GetTemporaryURLAppropriateForURL(const QUrl& target)
{
    const std::optional<QString> uuid = NewUUIDText();
    if (!uuid)
        return {};
    QString folder = target.isLocalFile() ? ItemReplacementFolderFor(target.toLocalFile()) : QString();
    if (folder.isEmpty())
        folder = QDir::tempPath();
    return FileIn(folder, *uuid);
}

QUrl GetTemporaryURLInDirectory(const QString& folder, const QString& prefix, const QString& extension)
{
    QString name = prefix + RequiredUUIDText(__func__);
    if (!extension.isEmpty())
        name += QLatin1Char('.') + extension;
    return FileIn(folder.isEmpty() ? QDir::tempPath() : folder, name);
}

QUrl GetTemporaryURLWithPrefix(const QString& prefix)
{
    return FileIn(QDir::tempPath(), prefix + QLatin1Char('-') + RequiredUUIDText(__func__));
}

} // namespace WBQUtil
