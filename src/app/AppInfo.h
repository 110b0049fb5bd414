#pragma once

#include <QString>

// Identity of the application: its bundle identifier names the preference files and folders.
namespace AppInfo {
inline const QString kBundleIdentifier = QStringLiteral("org.tomefold.Tomefold");
inline const QString kApplicationName = QStringLiteral("Tomefold");
} // namespace AppInfo
