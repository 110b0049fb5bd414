// Paths from the command line as the file system's bytes. The command's arguments are text; a byte
// that is not part of UTF-8 is carried in it as a lone surrogate (U+DC80 + the byte), so that the
// path written on the command line is the path that is opened, whatever its bytes.

#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The arguments after the program's name.
QStringList ArgumentsAsText(int argc, char** argv);

// The bytes of a path carried as text (by ArgumentsAsText, or plain text).
QByteArray PathBytes(const QString& path);

// Whether something is at the path; makes the folder (and those above it) when missing.
bool PathExists(const QString& path);
bool MakeFolder(const QString& path);
