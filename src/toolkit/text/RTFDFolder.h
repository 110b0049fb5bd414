#pragma once

#include <QString>

class QTextDocument;

// RTFD documents: a folder holding TXT.rtf and the files its attachments name (pictures here).
namespace RTFDFolder {

// Attachments are looked up only directly inside the folder.
bool Read(const QString& folderPath, QTextDocument& document, QString* error = nullptr);

// Writes the folder beside its place and renames it there; an existing file or folder at the path
// is not replaced.
bool Write(const QTextDocument& document, const QString& folderPath, QString* error = nullptr);

} // namespace RTFDFolder
