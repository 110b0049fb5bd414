#include "support/FixtureFiles.h"

#include "support/TestSupport.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace FixtureFiles {

QByteArray readAll(const QString& path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

QString writeFile(const QTemporaryDir& folder, const QString& name, const QByteArray& bytes)
{
    const QString path = folder.filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    EXPECT_EQ(file.write(bytes), bytes.size());
    return path;
}

QString patchedFixture(const QTemporaryDir& folder, const QString& fixture,
                       const std::function<void(QByteArray&)>& patch)
{
    QByteArray bytes = readAll(TestSupport::fixturePath(fixture));
    patch(bytes);
    return writeFile(folder, fixture + QStringLiteral("-patched.chm"), bytes);
}

void replaceOnce(QByteArray& bytes, const QByteArray& from, const QByteArray& to)
{
    ASSERT_EQ(from.size(), to.size());
    const qsizetype at = bytes.indexOf(from);
    ASSERT_GE(at, 0) << "pattern not found";
    ASSERT_EQ(bytes.indexOf(from, at + 1), -1) << "pattern found twice";
    bytes.replace(at, to.size(), to);
}

} // namespace FixtureFiles
