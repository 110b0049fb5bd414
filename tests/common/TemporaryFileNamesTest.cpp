#include "common/ApplicationSupportFolder.h"
#include "common/TemporaryFileNames.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kUUID = QStringLiteral("[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}");

bool Matches(const QString& pattern, const QString& text)
{
    return QRegularExpression(QRegularExpression::anchoredPattern(pattern)).match(text).hasMatch();
}

QString FolderOf(const QUrl& url)
{
    return QFileInfo(url.toLocalFile()).absolutePath();
}

QString NameOf(const QUrl& url)
{
    return QFileInfo(url.toLocalFile()).fileName();
}

TEST(TemporaryFileNames, AreFreshUpperCaseUUIDsInTheTemporaryFolderAndCreateNothing)
{
    const QUrl first = WBQUtil::GetTemporaryURL();
    const QUrl second = WBQUtil::GetTemporaryURL();
    ASSERT_TRUE(first.isLocalFile());
    EXPECT_NE(first, second);
    EXPECT_TRUE(Matches(kUUID, NameOf(first))) << NameOf(first).toStdString();
    EXPECT_EQ(FolderOf(first), QDir(QDir::tempPath()).absolutePath());
    EXPECT_FALSE(QFileInfo::exists(first.toLocalFile()));
}

TEST(TemporaryFileNames, InADirectoryTakePrefixAndExtension)
{
    QTemporaryDir dir;
    const QUrl plain = WBQUtil::GetTemporaryURLInDirectory(dir.path(), QString(), "tmp");
    EXPECT_EQ(FolderOf(plain), dir.path());
    EXPECT_TRUE(Matches(kUUID + "\\.tmp", NameOf(plain))) << NameOf(plain).toStdString();

    const QUrl prefixed = WBQUtil::GetTemporaryURLInDirectory(dir.path(), "page", QString());
    EXPECT_TRUE(Matches("page" + kUUID, NameOf(prefixed))) << NameOf(prefixed).toStdString();

    const QUrl inTemporary = WBQUtil::GetTemporaryURLInDirectory(QString(), QString(), QString());
    EXPECT_EQ(FolderOf(inTemporary), QDir(QDir::tempPath()).absolutePath());
    EXPECT_TRUE(Matches(kUUID, NameOf(inTemporary)));
}

TEST(TemporaryFileNames, WithPrefixJoinPrefixAndUUIDWithADash)
{
    const QUrl url = WBQUtil::GetTemporaryURLWithPrefix("img");
    EXPECT_TRUE(Matches("img-" + kUUID, NameOf(url))) << NameOf(url).toStdString();
    EXPECT_EQ(FolderOf(url), QDir(QDir::tempPath()).absolutePath());
}

TEST(TemporaryFileNames, ForATargetOnTheTemporaryFileSystemUseTheTemporaryFolder)
{
    QTemporaryDir dir; // created in the temporary folder, hence on its file system
    const QUrl url = WBQUtil::GetTemporaryURLAppropriateForURL(QUrl::fromLocalFile(dir.filePath("not-yet/out.pdf")));
    EXPECT_EQ(FolderOf(url), QDir(QDir::tempPath()).absolutePath());
    EXPECT_TRUE(Matches(kUUID, NameOf(url)));
}

// The renaming of a finished file onto its target only works within one file system.
TEST(TemporaryFileNames, ForATargetOnAnotherFileSystemUseAPrivateFolderThere)
{
    struct stat temporary {}, shared {};
    if (::stat(QFile::encodeName(QDir::tempPath()).constData(), &temporary) != 0 ||
        ::stat("/dev/shm", &shared) != 0 || temporary.st_dev == shared.st_dev || ::access("/dev/shm", W_OK) != 0)
        GTEST_SKIP() << "needs a writable /dev/shm on another file system than the temporary folder";

    QTemporaryDir dir("/dev/shm/tomefold-test-XXXXXX");
    ASSERT_TRUE(dir.isValid());
    const QUrl url = WBQUtil::GetTemporaryURLAppropriateForURL(QUrl::fromLocalFile(dir.filePath("out.pdf")));
    const QString folder = FolderOf(url);
    struct stat folderStatus {};
    ASSERT_EQ(::lstat(QFile::encodeName(folder).constData(), &folderStatus), 0) << folder.toStdString();
    EXPECT_EQ(folderStatus.st_dev, shared.st_dev);
    EXPECT_TRUE(S_ISDIR(folderStatus.st_mode));
    EXPECT_EQ(folderStatus.st_mode & 0777, 0700u);
    EXPECT_TRUE(Matches(kUUID, NameOf(url)));
    ::rmdir(QFile::encodeName(folder).constData()); // the folder is meant to stay; the test tidies up when it can
}

TEST(TemporaryFileNames, ATargetThatIsNoLocalFileGetsTheTemporaryFolder)
{
    const QUrl url = WBQUtil::GetTemporaryURLAppropriateForURL(QUrl("https://example.org/out.pdf"));
    EXPECT_EQ(FolderOf(url), QDir(QDir::tempPath()).absolutePath());
}

TEST(ApplicationSupportFolder, IsCreatedInTheUsersDataFolder)
{
    QTemporaryDir home;
    const QByteArray saved = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", QFile::encodeName(home.path()));

    const QString named = WBQUtil::GetApplicationSupportFolder("Tomefold");
    const QString unnamed = WBQUtil::GetApplicationSupportFolder();

    qputenv("XDG_DATA_HOME", saved);
    EXPECT_EQ(named, home.filePath("Tomefold"));
    EXPECT_TRUE(QFileInfo(named).isDir());
    EXPECT_EQ(unnamed, home.filePath("WBQApplication"));
    EXPECT_TRUE(QFileInfo(unnamed).isDir());
}

} // namespace
