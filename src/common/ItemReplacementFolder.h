#pragma once

#include <QString>

namespace WBQUtil {

// A folder of the user's on the same file system as the target path (which need not exist yet), in which
// a file can be prepared and then renamed onto the target: the temporary folder when it shares the target's
// file system, otherwise a private folder at the top of the target's file system, made on first use and
// left in place. Empty when neither can be had.
QString ItemReplacementFolderFor(const QString& targetPath);

} // namespace WBQUtil
