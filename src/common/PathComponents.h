#pragma once

#include <QString>

// Splitting and joining file-system paths the way the file-name functions need it: a path's last
// component, a name without its last extension, a child of a folder.
namespace PathComponents {

// "/a/b/User.Guide.chm" gives "User.Guide.chm"; trailing separators are ignored, so "/a/Docs/" gives "Docs".
QString lastComponent(const QString& path);

// Removes only the last extension: "User.Guide.chm" gives "User.Guide". A leading dot does not start an
// extension, so ".chm" stays ".chm".
QString withoutLastExtension(const QString& name);

// The folder followed by one separator and the name.
QString appending(const QString& folder, const QString& name);

} // namespace PathComponents
