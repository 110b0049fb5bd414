#pragma once

#include <QString>

namespace WBQUtil {

// The path of the named folder (or "WBQApplication" when the name is empty) in the user's data folder
// ($XDG_DATA_HOME, normally ~/.local/share), created when missing. A system that names no data folder at
// all ends the process.
QString GetApplicationSupportFolder(const QString& name = QString());

} // namespace WBQUtil
