#pragma once

#include <cstddef>
#include <memory>

// Whole-file input and output with POSIX result codes: 0 on success, EIO (5) when fewer bytes than asked
// could be moved, ENOMEM (12) when no buffer can be had, otherwise the error number of the failed call;
// a failed seek gives the negative value the seek returned and a failed status query gives that call's
// result. Paths are in the file system's encoding. Files these functions create are readable and writable
// by their owner only (0600). Transfers go on until every byte has moved, whatever the size of the file and
// however often a call is interrupted. A short transfer that no failing call explains prints
// "writeFile: short write" or "readFile: short read" on standard output.
namespace WBQUtil {

// Bytes between two copy steps: a copy never holds more than this much of a file in memory.
inline constexpr std::size_t kCopyChunkSize = 20'000'000;

// Creates or empties the file and writes the buffer into it.
int writeFile(const char* path, const void* buffer, std::size_t length);

// Reads the whole file into a new buffer. On any failure the buffer is empty and the size 0.
int readFile(const char* path, std::unique_ptr<char[]>& buffer, std::size_t& size);

// Copies the source's bytes into the destination (created or emptied), kCopyChunkSize at a time. A
// destination that is the source itself (the same file under another name) is left as it is.
int copyFile(const char* sourcePath, const char* destinationPath);

} // namespace WBQUtil
