#include "common/WholeFileIO.h"

#include "common/FileDescriptor.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <new>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace WBQUtil {

namespace {

// Linux moves at most this much in one read or write call.
constexpr std::size_t kLargestTransfer = 0x7ffff000;

struct Transfer {
    std::size_t moved = 0;
    bool callFailed = false;
};

FileDescriptor OpenFile(const char* path, int flags, mode_t mode = 0)
{
    int descriptor = -1;
    do
        descriptor = ::open(path, flags | O_CLOEXEC, mode);
    while (descriptor < 0 && errno == EINTR);
    return FileDescriptor(descriptor);
}

FileDescriptor OpenForWriting(const char* path)
{
    return OpenFile(path, O_RDWR | O_CREAT | O_TRUNC, S_IRUSR | S_IWUSR);
}

Transfer WriteAll(int descriptor, const char* data, std::size_t length)
{
    Transfer transfer;
    while (transfer.moved < length) {
        const ssize_t written =
            ::write(descriptor, data + transfer.moved, std::min(length - transfer.moved, kLargestTransfer));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            transfer.callFailed = written < 0;
            break;
        }
        transfer.moved += std::size_t(written);
    }
    return transfer;
}

Transfer ReadAll(int descriptor, char* data, std::size_t length)
{
    Transfer transfer;
    while (transfer.moved < length) {
        const ssize_t count =
            ::read(descriptor, data + transfer.moved, std::min(length - transfer.moved, kLargestTransfer));
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0) {
            transfer.callFailed = count < 0;
            break;
        }
        transfer.moved += std::size_t(count);
    }
    return transfer;
}

int WriteResult(const Transfer& transfer, std::size_t length)
{
    if (transfer.moved == length)
        return 0;
    if (!transfer.callFailed)
        std::fputs("writeFile: short write\n", stdout);
    return EIO;
}

int ReadResult(const Transfer& transfer, std::size_t length)
{
    if (transfer.moved == length)
        return 0;
    if (!transfer.callFailed)
        std::fputs("readFile: short read\n", stdout);
    return EIO;
}

std::unique_ptr<char[]> Allocate(std::size_t size)
{
    return std::unique_ptr<char[]>(new (std::nothrow) char[size]);
}

// Opening the destination empties it, which would destroy the source if both were the same file.
bool IsSameFile(const struct stat& source, const char* destinationPath)
{
    struct stat destination {};
    return ::stat(destinationPath, &destination) == 0 && destination.st_dev == source.st_dev &&
           destination.st_ino == source.st_ino;
}

int CopyChunk(int source, int destination, char* chunk, off_t offset, std::size_t length)
{
    const off_t sourceSeek = ::lseek(source, offset, SEEK_SET);
    if (sourceSeek < 0)
        return int(sourceSeek);
    if (const int result = ReadResult(ReadAll(source, chunk, length), length); result != 0)
        return result;
    if (::lseek(destination, offset, SEEK_SET) < 0)
        return errno;
    return WriteResult(WriteAll(destination, chunk, length), length);
}

} // namespace

int writeFile(const char* path, const void* buffer, std::size_t length)
{
    const FileDescriptor file = OpenForWriting(path);
    if (!file.isOpen() || ::lseek(file.get(), 0, SEEK_SET) < 0)
        return errno;
    return WriteResult(WriteAll(file.get(), static_cast<const char*>(buffer), length), length);
}

int readFile(const char* path, std::unique_ptr<char[]>& buffer, std::size_t& size)
{
    buffer.reset();
    size = 0;
    const FileDescriptor file = OpenFile(path, O_RDONLY);
    if (!file.isOpen())
        return errno;
    struct stat status {};
    if (const int result = ::fstat(file.get(), &status); result != 0)
        return result;
    const auto length = std::size_t(status.st_size);
    std::unique_ptr<char[]> contents = Allocate(length);
    if (!contents)
        return ENOMEM;
    if (const off_t seek = ::lseek(file.get(), 0, SEEK_SET); seek < 0)
        return int(seek);
    if (const int result = ReadResult(ReadAll(file.get(), contents.get(), length), length); result != 0)
        return result;
    buffer = std::move(contents);
    size = length;
    return 0;
}

int copyFile(const char* sourcePath, const char* destinationPath)
{
    const FileDescriptor source = OpenFile(sourcePath, O_RDONLY);
    if (!source.isOpen())
        return errno;
    struct stat status {};
    if (const int result = ::fstat(source.get(), &status); result != 0)
        return result;
    if (IsSameFile(status, destinationPath))
        return 0;
    const FileDescriptor destination = OpenForWriting(destinationPath);
    if (!destination.isOpen())
        return errno;
    const auto size = std::size_t(std::max<off_t>(status.st_size, 0));
    if (size == 0)
        return 0;
    const std::unique_ptr<char[]> chunk = Allocate(std::min(size, kCopyChunkSize));
    if (!chunk)
        return ENOMEM;
    for (std::size_t offset = 0; offset < size; offset += kCopyChunkSize) {
        const std::size_t length = std::min(kCopyChunkSize, size - offset);
        if (const int result = CopyChunk(source.get(), destination.get(), chunk.get(), off_t(offset), length))
            return result;
    }
    return 0;
}

} // namespace WBQUtil
