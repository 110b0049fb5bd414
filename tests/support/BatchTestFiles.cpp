#include "support/BatchTestFiles.h"

#include "support/TestSupport.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace BatchTestFiles {

void makeFile(const QString& root, const QString& relativePath, const QByteArray& bytes)
{
    const QString path = QDir(root).filePath(relativePath);
    ASSERT_TRUE(QDir().mkpath(QFileInfo(path).absolutePath()));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

void makeFolder(const QString& root, const QString& relativePath)
{
    ASSERT_TRUE(QDir().mkpath(QDir(root).filePath(relativePath)));
}

void copyFixture(const QString& fixtureName, const QString& root, const QString& relativePath)
{
    const QString path = QDir(root).filePath(relativePath);
    ASSERT_TRUE(QDir().mkpath(QFileInfo(path).absolutePath()));
    ASSERT_TRUE(QFile::copy(TestSupport::fixturePath(fixtureName), path)) << path.toStdString();
}

QUrl urlOf(const QString& root, const QString& relativePath)
{
    return QUrl::fromLocalFile(QDir(root).filePath(relativePath));
}

QStringList tree(const QString& root)
{
    QStringList entries;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    const QDir base(root);
    while (it.hasNext()) {
        const QString path = it.next();
        const QFileInfo info = it.fileInfo();
        entries << base.relativeFilePath(path) + (info.isDir() && !info.isSymLink() ? QStringLiteral("/") : QString());
    }
    entries.sort();
    return entries;
}

} // namespace BatchTestFiles
