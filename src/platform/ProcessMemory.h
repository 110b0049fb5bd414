#pragma once

// Hands the memory this process has freed back to the system. The allocator keeps freed memory
// for reuse, so after a large export the process would otherwise stay as large as at its peak.
void ReleaseFreedMemory();
