#include "files/resource_load.h"

Status ResourceLoadBlock(HMODULE module, uint32_t id, const char* typeName, FourCC, uint32_t maximumSize, int,
                         MemoryHandle* block) {
  *block = nullptr;
  HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(id), typeName);
  if (!resource) {
    GetLastError();  // read, so that it does not linger for the next caller
    return kErrFileNotFound;
  }
  const DWORD size = SizeofResource(module, resource);
  if (size == 0 || size > maximumSize) return kErrMemory;
  HGLOBAL loaded = LoadResource(module, resource);
  if (!loaded) {
    GetLastError();
    return kErrMemory;
  }
  const void* bytes = LockResource(loaded);
  if (!bytes) return kErrFileSystem;
  *block = HandleNewFromData(bytes, size);
  return *block ? kOk : kErrMemory;
}
