#include "common/FileReplacement.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {

void Put(const QString& path, const QByteArray& contents)
{
    QFile out(path);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
    out.write(contents);
}

QByteArray ContentsOf(const QString& path)
{
    QFile in(path);
    return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
}

QUrl Url(const QString& path)
{
    return QUrl::fromLocalFile(path);
}

bool OnDifferentFileSystems(const QString& first, const QString& second)
{
    struct stat a {}, b {};
    return ::stat(QFile::encodeName(first).constData(), &a) == 0 &&
           ::stat(QFile::encodeName(second).constData(), &b) == 0 && a.st_dev != b.st_dev;
}

TEST(ReplaceFileAtURL, PutsTheNewFileInTheTargetsPlace)
{
    QTemporaryDir dir;
    Put(dir.filePath("new.pdf"), "new");
    Put(dir.filePath("out.pdf"), "old");
    EXPECT_TRUE(WBQUtil::ReplaceFileAtURL(Url(dir.filePath("new.pdf")), Url(dir.filePath("out.pdf"))));
    EXPECT_EQ(ContentsOf(dir.filePath("out.pdf")), QByteArray("new"));
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("new.pdf")));

    Put(dir.filePath("new.pdf"), "first");
    EXPECT_TRUE(WBQUtil::ReplaceFileAtURL(Url(dir.filePath("new.pdf")), Url(dir.filePath("fresh.pdf"))));
    EXPECT_EQ(ContentsOf(dir.filePath("fresh.pdf")), QByteArray("first"));
}

TEST(ReplaceFileAtURL, CopiesAcrossFileSystemsWithoutLeavingPartialFiles)
{
    QTemporaryDir local;
    if (!QFileInfo(QStringLiteral("/dev/shm")).isWritable() || !OnDifferentFileSystems(local.path(), "/dev/shm"))
        GTEST_SKIP() << "needs a writable /dev/shm on another file system than the temporary folder";
    QTemporaryDir other(QStringLiteral("/dev/shm/tomefold-test-XXXXXX"));
    Put(local.filePath("new.pdf"), "new contents");
    Put(other.filePath("out.pdf"), "old");

    EXPECT_TRUE(WBQUtil::ReplaceFileAtURL(Url(local.filePath("new.pdf")), Url(other.filePath("out.pdf"))));
    EXPECT_EQ(ContentsOf(other.filePath("out.pdf")), QByteArray("new contents"));
    EXPECT_FALSE(QFileInfo::exists(local.filePath("new.pdf")));
    EXPECT_EQ(QDir(other.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList {"out.pdf"});
}

TEST(ReplaceFileAtURL, AFailedCopyKeepsTheTarget)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir("new")); // cannot be read as a file
    Put(dir.filePath("out.pdf"), "keep");
    EXPECT_FALSE(WBQUtil::ReplaceFileAtURL(Url(dir.filePath("new")), Url(dir.filePath("out.pdf"))));
    EXPECT_EQ(ContentsOf(dir.filePath("out.pdf")), QByteArray("keep"));
    EXPECT_TRUE(QFileInfo(dir.filePath("new")).isDir());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              (QStringList {"new", "out.pdf"}));
}

TEST(ReplaceFileAtURL, NeverReplacesAFolder)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkpath("out.pdf/inside"));
    Put(dir.filePath("new.pdf"), "new");
    EXPECT_FALSE(WBQUtil::ReplaceFileAtURL(Url(dir.filePath("new.pdf")), Url(dir.filePath("out.pdf"))));
    EXPECT_TRUE(QFileInfo(dir.filePath("out.pdf/inside")).isDir());
    EXPECT_TRUE(QFileInfo::exists(dir.filePath("new.pdf")));
}

TEST(ReplaceFileAtURL, MissingOrUnusableArgumentsFail)
{
    QTemporaryDir dir;
    Put(dir.filePath("out.pdf"), "keep");
    const QUrl target = Url(dir.filePath("out.pdf"));
    EXPECT_FALSE(WBQUtil::ReplaceFileAtURL(QUrl(), target));
    EXPECT_FALSE(WBQUtil::ReplaceFileAtURL(target, QUrl()));
    EXPECT_FALSE(WBQUtil::ReplaceFileAtURL(Url(dir.filePath("missing.pdf")), target));
    EXPECT_FALSE(WBQUtil::ReplaceFileAtURL(QUrl("https://example.org/new.pdf"), target));
    EXPECT_EQ(ContentsOf(dir.filePath("out.pdf")), QByteArray("keep"));
}

TEST(ReplaceFileAtURL, TheSameFileNamedTwiceNeedsNothing)
{
    QTemporaryDir dir;
    Put(dir.filePath("out.pdf"), "keep");
    EXPECT_TRUE(WBQUtil::ReplaceFileAtURL(Url(dir.filePath("out.pdf")),
                                          QUrl(QStringLiteral("file://localhost") + dir.filePath("out.pdf"))));
    EXPECT_EQ(ContentsOf(dir.filePath("out.pdf")), QByteArray("keep"));
}

} // namespace
