#include "common/FileSizes.h"
#include "common/StringConversions.h"
#include "common/URLComparision.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

namespace {

void Put(const QString& path, qsizetype size)
{
    QFile out(path);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
    out.write(QByteArray(size, 'x'));
}

TEST(FileSizes, OfAFileOrAnError)
{
    QTemporaryDir dir;
    Put(dir.filePath("a"), 1234);
    quint64 size = 0;
    EXPECT_EQ(WBQUtil::GetFileSizeAtURL(QUrl::fromLocalFile(dir.filePath("a")), size), 0);
    EXPECT_EQ(size, 1234u);

    size = 77;
    EXPECT_EQ(WBQUtil::GetFileSizeAtURL(QUrl::fromLocalFile(dir.filePath("missing")), size), ENOENT);
    EXPECT_EQ(WBQUtil::GetFileSizeAtURL(QUrl::fromLocalFile(dir.path()), size), EISDIR);
    EXPECT_EQ(WBQUtil::GetFileSizeAtURL(QUrl("https://example.org/a"), size), EINVAL);
    EXPECT_EQ(size, 77u);
}

TEST(FileSizes, OfAFolderCountVisibleFilesAtAllDepths)
{
    QTemporaryDir dir;
    QDir root(dir.path());
    ASSERT_TRUE(root.mkpath("sub/deeper"));
    ASSERT_TRUE(root.mkpath(".hidden"));
    Put(dir.filePath("a"), 100);
    Put(dir.filePath("sub/b"), 20);
    Put(dir.filePath("sub/deeper/c"), 3);
    Put(dir.filePath(".dot"), 1000);
    Put(dir.filePath(".hidden/d"), 10000);
    ASSERT_TRUE(QFile::link(dir.filePath("a"), dir.filePath("link-to-a")));
    ASSERT_TRUE(QFile::link(dir.filePath("sub"), dir.filePath("link-to-sub")));

    EXPECT_EQ(WBQUtil::GetFolderSize(QUrl::fromLocalFile(dir.path())), 123u);
    EXPECT_EQ(WBQUtil::GetFolderSize(QUrl::fromLocalFile(dir.filePath("missing"))), 0u);
}

TEST(StringConversions, GiveUTF8TextOfPathsAndNames)
{
    bool ok = false;
    const QUrl url = QUrl::fromLocalFile(QStringLiteral("/books/Über Handbuch.v2.chm"));
    EXPECT_EQ(WBQUtil::GetFileBaseNameString(url, &ok), "\xC3\x9C" "ber Handbuch.v2");
    EXPECT_TRUE(ok);
    EXPECT_EQ(WBQUtil::GetURLPathString(QUrl("file:///tmp/a%20b.pdf"), &ok), "/tmp/a b.pdf");
    EXPECT_TRUE(ok);
    EXPECT_EQ(WBQUtil::NSStringToStdString(QStringLiteral("µ")), "\xC2\xB5");
    EXPECT_EQ(WBQUtil::NSStringToStdString(QString()), "");
}

TEST(StringConversions, ReportWhenThereIsNoPath)
{
    bool ok = true;
    EXPECT_EQ(WBQUtil::GetFileBaseNameString(QUrl(), &ok), "");
    EXPECT_FALSE(ok);
    ok = true;
    EXPECT_EQ(WBQUtil::GetURLPathString(QUrl("https://example.org"), &ok), "");
    EXPECT_FALSE(ok);
    EXPECT_EQ(WBQUtil::GetURLPathString(QUrl()), ""); // the flag may be left out
}

TEST(StringConversions, CopiesAreTerminatedOrAbsent)
{
    const std::unique_ptr<char[]> path = WBQUtil::CopyURLPathCString(QUrl::fromLocalFile("/tmp/é.pdf"));
    ASSERT_NE(path, nullptr);
    EXPECT_STREQ(path.get(), "/tmp/\xC3\xA9.pdf");
    EXPECT_EQ(WBQUtil::CopyURLPathCString(QUrl()), nullptr);

    const std::unique_ptr<char[]> text = WBQUtil::CopyNSStringCString("abc");
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(std::strlen(text.get()), 3u);
    EXPECT_EQ(WBQUtil::CopyNSStringCString(QString()), nullptr);
    EXPECT_EQ(WBQUtil::CopyNSStringCString(QStringLiteral("")), nullptr);
}

TEST(URLComparision, TreatsSpellingsOfOneLocalFileAsEqual)
{
    EXPECT_TRUE(URLComparision::isEqualToURL(QUrl("file:///tmp/a.pdf"), QUrl::fromLocalFile("/tmp/a.pdf")));
    EXPECT_TRUE(URLComparision::isEqualToURL(QUrl("file://localhost/tmp/a.pdf"), QUrl("file:///tmp/a.pdf")));
    EXPECT_TRUE(URLComparision::isEqualToURL(QUrl("file:///tmp/a%20b.pdf"), QUrl::fromLocalFile("/tmp/a b.pdf")));
    EXPECT_FALSE(URLComparision::isEqualToURL(QUrl("file:///tmp/a.pdf"), QUrl("file:///tmp/b.pdf")));
    EXPECT_FALSE(URLComparision::isEqualToURL(QUrl("https://one.example/a.pdf"), QUrl("https://two.example/a.pdf")));
    EXPECT_TRUE(URLComparision::isEqualToURL(QUrl("https://one.example/a.pdf"), QUrl("https://one.example/a.pdf")));
}

} // namespace
