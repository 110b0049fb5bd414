#pragma once

#include <QString>

#include <functional>

// Opens a local file or folder with the freedesktop opener (xdg-open, from xdg-utils), which hands
// it to the program the desktop chose for its kind. done(false) comes on the main thread when the
// opener is missing or gives up (it exits with a failure when no program takes the file);
// done(true) when it ended well. An opener that runs on with the program it started is left to it.
namespace DesktopOpener {

void open(const QString& path, std::function<void(bool opened)> done);

// The program asked to open files: "xdg-open" found on the search path.
QString program();

} // namespace DesktopOpener
