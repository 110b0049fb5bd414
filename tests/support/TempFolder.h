#pragma once

#include <QByteArray>
#include <QTemporaryDir>

#include <string>

// A temporary folder that tests fill with files by relative path.
class TempFolder {
public:
    std::string path() const { return dir.path().toStdString(); }
    std::string path(const char* relative) const { return path() + "/" + relative; }
    // Writes `contents` to `relative`, making its folders.
    void write(const char* relative, const QByteArray& contents) const;
    void makeFolder(const char* relative) const;

private:
    QTemporaryDir dir;
};
