#pragma once

#include <QString>
#include <QVariant>

// The application's user-defaults store (QSettings under the application's organisation and name); every
// change is written out at once.
namespace WBQUtil {

void RemoveUserDefault(const QString& key);
void SetUserDefault(const QVariant& value, const QString& key);

// The stored value; an invalid QVariant when the key is absent.
QVariant GetUserDefault(const QString& key);

} // namespace WBQUtil
