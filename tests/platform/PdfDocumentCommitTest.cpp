#include "platform/PdfDocument.h"
#include "support/PdfTestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>

// A file system that refuses to put a finished file in place: the renames of this program onto a
// file named kRefusedName fail with EIO, as on a disk that fails under the write. Everything else
// goes to the C library. (The file system calls of the Qt library resolve to these definitions.)

namespace {

constexpr const char* kRefusedName = "refused-on-commit.pdf";

bool isRefused(const char* target)
{
    const char* slash = std::strrchr(target, '/');
    return std::strcmp(slash != nullptr ? slash + 1 : target, kRefusedName) == 0;
}

template <typename Function>
Function next(const char* name)
{
    return reinterpret_cast<Function>(::dlsym(RTLD_NEXT, name));
}

} // namespace

extern "C" int rename(const char* from, const char* to)
{
    if (isRefused(to)) {
        errno = EIO;
        return -1;
    }
    static const auto real = next<int (*)(const char*, const char*)>("rename");
    return real(from, to);
}

extern "C" int renameat2(int fromFolder, const char* from, int toFolder, const char* to, unsigned int flags)
{
    if (isRefused(to)) {
        errno = EIO;
        return -1;
    }
    static const auto real = next<int (*)(int, const char*, int, const char*, unsigned int)>("renameat2");
    return real(fromFolder, from, toFolder, to, flags);
}

TEST(PdfDocumentCommit, AFileThatCannotBePutInPlaceIsAFailedWriteAndTheEarlierFileStays)
{
    QTemporaryDir folder;
    const QString target = folder.filePath(QString::fromLatin1(kRefusedName));
    {
        QFile earlier(target);
        ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
        earlier.write("earlier file");
    }
    const std::unique_ptr<PdfDocument> source = PdfDocument::open(PdfTestFiles::pagesWithTexts({"one"}));
    ASSERT_NE(source, nullptr);
    const std::unique_ptr<PdfDocument> output = PdfDocument::create();
    ASSERT_TRUE(output->appendPageCopy(*source, 0));

    QString error;
    EXPECT_FALSE(output->write(target, &error));
    EXPECT_FALSE(error.isEmpty());
    QFile written(target);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll(), QByteArray("earlier file"));
    // The temporary file went with the failed commit.
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList({kRefusedName}));

    // The same document goes in place under another name: only the commit failed.
    EXPECT_TRUE(output->write(folder.filePath(QStringLiteral("accepted.pdf")), &error)) << error.toStdString();
}
