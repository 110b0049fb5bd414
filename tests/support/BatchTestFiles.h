#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

// Folders and files for batch tests, made below a root folder from relative paths.
namespace BatchTestFiles {

// Makes the file (and any missing folders above it) holding the bytes.
void makeFile(const QString& root, const QString& relativePath, const QByteArray& bytes = "ITSF");
void makeFolder(const QString& root, const QString& relativePath);
// Copies a compiled CHM fixture to the relative path.
void copyFixture(const QString& fixtureName, const QString& root, const QString& relativePath);
QUrl urlOf(const QString& root, const QString& relativePath);
// Every file and folder below the root, as sorted relative paths; folders end in "/".
QStringList tree(const QString& root);

} // namespace BatchTestFiles
