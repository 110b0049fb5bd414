#pragma once

// A file system that refuses to put a finished file in place. Linked into a test program of its own
// (it replaces the C library's rename for the whole process), it makes every rename onto a file whose
// name starts with kRefusedRenamePrefix fail with EIO, as on a disk that fails under the write;
// every other rename goes to the C library. Qt's file calls resolve to it as well.
inline constexpr const char* kRefusedRenamePrefix = "refused-on-commit";
