#pragma once

#include <QString>

#include <functional>

// Opens a local file or folder with the freedesktop opener (xdg-open, from xdg-utils), which hands
// it to the program the desktop chose for its kind. What counts is the hand-off: done(true) comes on
// the main thread once a program has taken the file, done(false) when the opener is missing or no
// program could take it. Where no desktop session answers, the opener runs the program itself and
// ends when it ends, with a failure when the program did (closed by force, say); a program was
// found and started all the same, so that is no failure to open. An opener that runs on with the
// program it started is left to it.
namespace DesktopOpener {

void open(const QString& path, std::function<void(bool opened)> done);

// The program asked to open files: "xdg-open" found on the search path.
QString program();

} // namespace DesktopOpener
