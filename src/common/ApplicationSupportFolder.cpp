#include "common/ApplicationSupportFolder.h"

#include "common/PathComponents.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <cstdlib>

namespace WBQUtil {

QString GetApplicationSupportFolder(const QString& name)
{
    const QString dataFolder = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (dataFolder.isEmpty()) {
        qCritical("Alert - Can't find application support folder");
        std::exit(EXIT_FAILURE);
    }
    const QString path =
        PathComponents::appending(dataFolder, name.isEmpty() ? QStringLiteral("WBQApplication") : name);
    if (!QFileInfo::exists(path))
        QDir().mkpath(path);
    return path;
}

} // namespace WBQUtil
