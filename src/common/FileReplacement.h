#pragma once

#include <QUrl>

namespace WBQUtil {

// Puts the new file in the target's place and removes the new file. Within one file system the file is
// renamed onto the target; otherwise it is copied next to the target and the copy renamed into place, so
// the target stays as it was whenever the replacement fails. True when both name the same file (nothing to
// do); false when either URL is empty or not a local file, when the new file does not exist, or when the
// target is a folder (a folder and its contents are never replaced by a file).
bool ReplaceFileAtURL(const QUrl& newFile, const QUrl& target);

} // namespace WBQUtil
