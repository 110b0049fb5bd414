#include "support/TestSupport.h"

#include <QDir>

namespace TestSupport {

QString fixturePath(const QString& name)
{
    return QDir(qEnvironmentVariable("TOMEFOLD_FIXTURES")).filePath(name + QStringLiteral(".chm"));
}

QString sourceDataPath(const QString& relative)
{
    return QDir(qEnvironmentVariable("TOMEFOLD_TEST_SOURCE_DATA")).filePath(relative);
}

} // namespace TestSupport
