#include "platform/ProcessMemory.h"

#include <malloc.h>

void ReleaseFreedMemory()
{
    // Every arena, the threads' own included.
    ::malloc_trim(0);
}
