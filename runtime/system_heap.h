// The one seam between the pure-data modules and the operating system: the process heap.
// Windows builds use the Win32 process heap; the native build uses the C library.
#pragma once

#include <cstddef>

void* SystemHeapAllocate(size_t size, bool zeroed);
// Like realloc: on failure returns none and leaves the block as it was.
void* SystemHeapResize(void* block, size_t size);
void SystemHeapFree(void* block);
