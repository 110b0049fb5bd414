#pragma once

#include <QString>

struct chmFile;

namespace CHMContainerCheck {

// True when the file holds the whole directory its header announces and the whole compressed
// content stream the directory lists. chmlib opens a cut-off file and then finds no objects in the
// missing part of its directory, or decompresses the missing part of the content into zeros without
// a word; such a file is better refused.
bool isComplete(const QString& filePath, chmFile* handle);

} // namespace CHMContainerCheck
