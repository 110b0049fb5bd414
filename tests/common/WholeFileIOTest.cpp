#include "common/WholeFileIO.h"

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

namespace {

class WholeFileIO : public testing::Test {
protected:
    std::string path(const char* name) const { return QFile::encodeName(m_dir.filePath(name)).toStdString(); }

    static void put(const std::string& file, const QByteArray& contents)
    {
        QFile out(QString::fromStdString(file));
        ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(out.write(contents), contents.size());
    }

    static QByteArray contentsOf(const std::string& file)
    {
        QFile in(QString::fromStdString(file));
        return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
    }

    QTemporaryDir m_dir;
};

// Every 4-byte word holds its own offset, so a chunk written at the wrong place shows.
QByteArray OffsetPattern(std::size_t size)
{
    QByteArray data(qsizetype(size), '\0');
    for (std::size_t offset = 0; offset + 4 <= size; offset += 4) {
        const quint32 word = quint32(offset);
        std::memcpy(data.data() + offset, &word, 4);
    }
    for (std::size_t rest = size - size % 4; rest < size; ++rest)
        data[qsizetype(rest)] = char(rest);
    return data;
}

TEST_F(WholeFileIO, WriteCreatesAPrivateFileAndReadGivesTheBytesBack)
{
    const QByteArray data("binary\0with\0zeros", 17);
    ASSERT_EQ(WBQUtil::writeFile(path("a.bin").c_str(), data.constData(), std::size_t(data.size())), 0);
    struct stat status {};
    ASSERT_EQ(::stat(path("a.bin").c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0600u);

    std::unique_ptr<char[]> buffer;
    std::size_t size = 99;
    ASSERT_EQ(WBQUtil::readFile(path("a.bin").c_str(), buffer, size), 0);
    ASSERT_EQ(size, std::size_t(data.size()));
    EXPECT_EQ(QByteArray(buffer.get(), qsizetype(size)), data);
}

TEST_F(WholeFileIO, WritingNothingEmptiesAnExistingFile)
{
    put(path("a.bin"), "old contents");
    EXPECT_EQ(WBQUtil::writeFile(path("a.bin").c_str(), nullptr, 0), 0);
    EXPECT_TRUE(contentsOf(path("a.bin")).isEmpty());
    EXPECT_EQ(QFile(QString::fromStdString(path("a.bin"))).size(), 0);
}

TEST_F(WholeFileIO, ReadingAnEmptyFileGivesSizeZero)
{
    put(path("empty"), QByteArray());
    std::unique_ptr<char[]> buffer;
    std::size_t size = 7;
    EXPECT_EQ(WBQUtil::readFile(path("empty").c_str(), buffer, size), 0);
    EXPECT_EQ(size, 0u);
}

TEST_F(WholeFileIO, AFailedReadHandsOutNoBuffer)
{
    std::unique_ptr<char[]> buffer(new char[4]);
    std::size_t size = 4;
    EXPECT_EQ(WBQUtil::readFile(path("missing").c_str(), buffer, size), ENOENT);
    EXPECT_EQ(buffer, nullptr);
    EXPECT_EQ(size, 0u);

    // A folder opens but cannot be read: a failed read call, so no message.
    buffer.reset(new char[4]);
    testing::internal::CaptureStdout();
    EXPECT_EQ(WBQUtil::readFile(QFile::encodeName(m_dir.path()).constData(), buffer, size), EIO);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(buffer, nullptr);
    EXPECT_EQ(size, 0u);
}

TEST_F(WholeFileIO, AWriteThatFailsPartWayIsAnInputOutputError)
{
    if (::access("/dev/full", W_OK) != 0)
        GTEST_SKIP() << "needs /dev/full";
    const QByteArray data(1000, 'x');
    testing::internal::CaptureStdout();
    EXPECT_EQ(WBQUtil::writeFile("/dev/full", data.constData(), std::size_t(data.size())), EIO);
    // A source of its own: the test runs in a folder of the build, where no source path holds.
    const std::string source = path("source");
    ASSERT_EQ(WBQUtil::writeFile(source.c_str(), data.constData(), std::size_t(data.size())), 0);
    EXPECT_EQ(WBQUtil::copyFile(source.c_str(), "/dev/full"), EIO);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(WBQUtil::writeFile(path("no/such/folder").c_str(), data.constData(), 1), ENOENT);
}

TEST_F(WholeFileIO, CopyMovesALargeFileInChunksWithEveryByteInPlace)
{
    const std::size_t size = 45'000'000; // two full chunks and a part
    static_assert(45'000'000 > 2 * WBQUtil::kCopyChunkSize && 45'000'000 < 3 * WBQUtil::kCopyChunkSize);
    const QByteArray data = OffsetPattern(size);
    put(path("big.src"), data);
    put(path("big.dst"), QByteArray(50'000'000, 'z')); // longer than the source: must not survive past its end

    ASSERT_EQ(WBQUtil::copyFile(path("big.src").c_str(), path("big.dst").c_str()), 0);
    const QByteArray copied = contentsOf(path("big.dst"));
    ASSERT_EQ(std::size_t(copied.size()), size);
    EXPECT_TRUE(copied == data);
}

TEST_F(WholeFileIO, CopyOfAnEmptySourceLeavesAnEmptyDestination)
{
    put(path("empty"), QByteArray());
    put(path("dst"), "previous");
    EXPECT_EQ(WBQUtil::copyFile(path("empty").c_str(), path("dst").c_str()), 0);
    EXPECT_EQ(QFile(QString::fromStdString(path("dst"))).size(), 0);
}

TEST_F(WholeFileIO, CopyOntoItselfLosesNothing)
{
    put(path("a"), "precious");
    ASSERT_EQ(::link(path("a").c_str(), path("b").c_str()), 0);
    EXPECT_EQ(WBQUtil::copyFile(path("a").c_str(), path("a").c_str()), 0);
    EXPECT_EQ(WBQUtil::copyFile(path("a").c_str(), path("b").c_str()), 0);
    EXPECT_EQ(contentsOf(path("a")), QByteArray("precious"));
}

TEST_F(WholeFileIO, CopyOfAMissingSourceCreatesNothing)
{
    EXPECT_EQ(WBQUtil::copyFile(path("missing").c_str(), path("dst").c_str()), ENOENT);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(path("dst"))));
}

} // namespace
