#pragma once

#include <QString>

namespace WBQUtil {

// Why no file can be written into the folder now, in the system's words ("Read-only file system",
// "Permission denied", "No such file or directory"); empty when one can. Found by writing a hidden
// file there and removing it: what the folder's permissions promise, a read-only mount or a full
// disk may still refuse.
QString WhyFolderTakesNoFiles(const QString& folderPath);

} // namespace WBQUtil
