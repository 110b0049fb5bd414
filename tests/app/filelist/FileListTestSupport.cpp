#include "FileListTestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace FileListTest {

void touch(const QString& root, const QString& relative)
{
    const QString path = QDir(root).filePath(relative);
    ASSERT_TRUE(QDir().mkpath(QFileInfo(path).absolutePath()));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
}

FileListItem fileItem(const QString& path)
{
    return {QUrl::fromLocalFile(path), false};
}

FileListItem folderItem(const QString& path)
{
    return {QUrl::fromLocalFile(path), true};
}

std::vector<FileListItem> fileItems(std::initializer_list<const char*> paths)
{
    std::vector<FileListItem> items;
    for (const char* path : paths)
        items.push_back(fileItem(QString::fromUtf8(path)));
    return items;
}

QStringList pathsOf(const std::vector<FileListItem>& items, const QString& root)
{
    QStringList paths;
    for (const FileListItem& item : items) {
        QString path = item.FilePath.toLocalFile();
        if (!root.isEmpty())
            path = QDir(root).relativeFilePath(path);
        paths.append(item.IsDir ? path + QLatin1Char('/') : path);
    }
    return paths;
}

} // namespace FileListTest
