#pragma once

#include <cstddef>

// Keeps freed memory in the process for reuse instead of handing it back at once. A long
// password's reading is megabytes, built anew on every key; with the C library's
// defaults each such buffer came back from the system as fresh pages, and a key after a
// large paste took one frame or three depending on the allocator's state. Call it first
// in main, before any other thread starts.
void RetainFreedMemory();

// Maps the memory pages of [data, data + size) writable in one step, ahead of writing a
// whole fresh buffer (an image about to be painted). Each page would otherwise cost its
// own fault, and on virtual machines a fault costs microseconds. Contents stay as they
// are; where the system cannot do it (an older kernel, another system), nothing happens.
void PopulateForWriting(void *data, long long size);

// For a thread about to allocate about `bytes`: a block of that size is taken from its
// heap, its pages are mapped in one step, and it is freed again, so the allocations that
// follow find the pages mapped. Needs RetainFreedMemory, which keeps the freed block in
// the heap.
void ReserveHeap(std::size_t bytes);
