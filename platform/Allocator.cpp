#include "Allocator.h"

#include <cstdlib> // defines __GLIBC__ where it applies
#if defined(__GLIBC__)
#include <malloc.h>
#endif
#if defined(__linux__)
#include <cstdint>
#include <sys/mman.h>
#include <unistd.h>
#ifndef MADV_POPULATE_WRITE
#define MADV_POPULATE_WRITE 23 // Linux 5.14; older kernels answer EINVAL
#endif
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

void PopulateForWriting(void *data, long long size)
{
#if defined(__linux__)
    if (!data || size <= 0)
        return;
    // Whole pages: the ones the buffer's ends share with its neighbours are mapped too,
    // which changes nothing in them.
    static const std::uintptr_t page = std::uintptr_t(sysconf(_SC_PAGESIZE));
    const std::uintptr_t begin = reinterpret_cast<std::uintptr_t>(data) & ~(page - 1);
    const std::uintptr_t end = (reinterpret_cast<std::uintptr_t>(data) + std::uintptr_t(size) + page - 1) & ~(page - 1);
    madvise(reinterpret_cast<void *>(begin), end - begin, MADV_POPULATE_WRITE);
#else
    (void)data;
    (void)size;
#endif
}

void ReserveHeap(std::size_t bytes)
{
    if (void *block = std::malloc(bytes)) {
        PopulateForWriting(block, (long long)bytes);
        std::free(block);
    }
}
