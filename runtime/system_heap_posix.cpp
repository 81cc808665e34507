#include "runtime/system_heap.h"

#include <cstdlib>

void* SystemHeapAllocate(size_t size, bool zeroed) { return zeroed ? std::calloc(1, size) : std::malloc(size); }

void* SystemHeapResize(void* block, size_t size) { return std::realloc(block, size); }

void SystemHeapFree(void* block) { std::free(block); }
