#include "runtime/system_heap.h"

#include <windows.h>

void* SystemHeapAllocate(size_t size, bool zeroed) {
  return HeapAlloc(GetProcessHeap(), zeroed ? HEAP_ZERO_MEMORY : 0, size);
}

void* SystemHeapResize(void* block, size_t size) { return HeapReAlloc(GetProcessHeap(), 0, block, size); }

void SystemHeapFree(void* block) {
  if (block) HeapFree(GetProcessHeap(), 0, block);
}
