// Copying a resource of a module into a memory handle. Windows only.
#pragma once

#include <windows.h>

#include <cstdint>

#include "runtime/fourcc.h"
#include "runtime/memory.h"
#include "runtime/status.h"

// Finds the resource by numeric id and type name and copies its bytes into a new handle that the caller
// owns. -7203 when it is missing; -7004 when it is empty, larger than maximumSize, cannot be loaded or
// cannot be copied; -7200 when it cannot be locked. The out handle is none on every failure. The type
// code and the flag are accepted for callers that pass them and not used.
Status ResourceLoadBlock(HMODULE module, uint32_t id, const char* typeName, FourCC typeCode, uint32_t maximumSize,
                         int flag, MemoryHandle* block);
