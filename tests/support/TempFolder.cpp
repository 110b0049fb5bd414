#include "support/TempFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

void TempFolder::write(const char* relative, const QByteArray& contents) const
{
    const QString file = QString::fromStdString(path(relative));
    QDir().mkpath(QFileInfo(file).path());
    QFile out(file);
    if (out.open(QIODevice::WriteOnly))
        out.write(contents);
}

void TempFolder::makeFolder(const char* relative) const
{
    QDir().mkpath(QString::fromStdString(path(relative)));
}
