#pragma once

#include <QtGlobal>

#include <optional>

// Hands the memory this process has freed back to the system. The allocator keeps freed memory
// for reuse, so after a large export the process would otherwise stay as large as at its peak.
void ReleaseFreedMemory();

// The memory a process of this machine holds in RAM, in bytes; none when it cannot be read (the
// process has ended, or the system does not tell).
std::optional<qint64> ResidentBytesOfProcess(qint64 pid);
