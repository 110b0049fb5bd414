#include "common/UserDefaults.h"

#include <QSettings>

namespace WBQUtil {

void RemoveUserDefault(const QString& key)
{
    QSettings settings;
    settings.remove(key);
    settings.sync();
}

void SetUserDefault(const QVariant& value, const QString& key)
{
    QSettings settings;
    settings.setValue(key, value);
    settings.sync();
}

QVariant GetUserDefault(const QString& key)
{
    return QSettings().value(key);
}

} // namespace WBQUtil
