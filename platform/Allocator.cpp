#include "Allocator.h"

#include <cstdlib> // defines __GLIBC__ where it applies
#if defined(__GLIBC__)
#include <malloc.h>
#endif

void RetainFreedMemory()
{
#if defined(__GLIBC__)
    // Fixed values also stop glibc's own tuning of them, which made the latency depend on
    // which buffers happened to be freed first. 32 MiB is the largest mmap threshold glibc
    // takes on 64-bit systems; larger blocks (pastes of millions of characters) still get
    // their own mapping and go back when freed.
    mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 64 * 1024 * 1024);
#endif
}
