#include "runtime/memory.h"

#include <cstring>

#include "runtime/system_heap.h"

// A block header; its `count` records follow it directly.
struct MasterBlock {
  uint32_t count;
  MasterBlock* next;
};

namespace {

MasterBlock* gBlocks = nullptr;  // newest first; blocks are never freed

MasterRecord* RecordsOf(MasterBlock* block) { return reinterpret_cast<MasterRecord*>(block + 1); }

MasterBlock* AddMasterBlock(uint32_t count) {
  const size_t bytes = sizeof(MasterBlock) + sizeof(MasterRecord) * count;
  auto* block = static_cast<MasterBlock*>(SystemHeapAllocate(bytes, true));
  if (!block) return nullptr;
  block->count = count;
  MasterRecord* records = RecordsOf(block);
  for (uint32_t i = 0; i < count; ++i) {
    records[i].guard = kHandleGuard;
    records[i].block = block;
  }
  block->next = gBlocks;
  gBlocks = block;
  return block;
}

// One pass over the table serves both the validation and the search for the first free record.
Status ScanTable(MasterRecord** firstFree) {
  MasterRecord* free = nullptr;
  for (MasterBlock* block = gBlocks; block; block = block->next) {
    for (MasterRecord *record = RecordsOf(block), *end = record + block->count; record != end; ++record) {
      if (record->guard != kHandleGuard) return kErrSystem;
      if (record->inUse) {
        if (!record->data) return kErrSystem;
      } else if (!free) {
        free = record;
      }
    }
  }
  if (firstFree) *firstFree = free;
  return kOk;
}

bool IsLiveHandle(MemoryHandle handle) { return handle && handle->guard == kHandleGuard && handle->inUse; }

// At least one byte is always allocated, so a handle of size 0 still has a valid data pointer.
size_t AllocationSize(size_t size) { return size ? size : 1; }

MemoryHandle NewHandle(size_t size, bool zeroed) {
  if (size > UINT32_MAX) return nullptr;
  MasterRecord* record = nullptr;
  if (ScanTable(&record) != kOk) return nullptr;
  if (!record) {
    MasterBlock* block = AddMasterBlock(kRecordsPerMasterBlock);
    if (!block) return nullptr;
    record = RecordsOf(block);
  }
  void* data = SystemHeapAllocate(AllocationSize(size), zeroed);
  if (!data) return nullptr;
  record->data = data;
  record->size = uint32_t(size);
  record->locked = 0;
  record->inUse = 1;
  return record;
}

}  // namespace

MemoryHandle HandleNew(size_t size) { return NewHandle(size, false); }

MemoryHandle HandleNewClear(size_t size) { return NewHandle(size, true); }

MemoryHandle HandleNewTemporary(size_t size) { return NewHandle(size, false); }

MemoryHandle HandleNewFromData(const void* data, size_t size) {
  MemoryHandle handle = NewHandle(size, false);
  if (handle && size) std::memcpy(handle->data, data, size);
  return handle;
}

MemoryHandle HandleDuplicate(MemoryHandle handle) {
  if (!IsLiveHandle(handle)) return nullptr;
  return HandleNewFromData(handle->data, handle->size);
}

void HandleDispose(MemoryHandle handle) {
  if (!IsLiveHandle(handle)) return;
  SystemHeapFree(handle->data);
  handle->data = nullptr;
  handle->size = 0;
  handle->locked = 0;
  handle->inUse = 0;
}

size_t HandleGetSize(MemoryHandle handle) { return IsLiveHandle(handle) ? handle->size : 0; }

bool HandleIsLocked(MemoryHandle handle) { return IsLiveHandle(handle) && handle->locked; }

bool HandleSetLock(MemoryHandle handle, bool locked) {
  if (!IsLiveHandle(handle)) return false;
  const bool was = handle->locked != 0;
  handle->locked = locked ? 1 : 0;
  return was;
}

Status HandleSetSize(MemoryHandle handle, size_t size) {
  if (!IsLiveHandle(handle) || handle->locked) return kErrState;
  if (size > UINT32_MAX) return kErrMemory;
  if (size == handle->size) return kOk;
  void* data = SystemHeapResize(handle->data, AllocationSize(size));
  if (!data) return kErrMemory;
  handle->data = data;
  handle->size = uint32_t(size);
  return kOk;
}

Status HandleSetData(MemoryHandle handle, const void* data, size_t size) {
  return HandleReplaceRange(handle, 0, HandleGetSize(handle), data, size);
}

Status HandleAppendData(MemoryHandle handle, const void* data, size_t size) {
  if (size == 0) return kOk;
  return HandleReplaceRange(handle, HandleGetSize(handle), 0, data, size);
}

Status HandleInsertData(MemoryHandle handle, const void* data, size_t size) {
  return HandleReplaceRange(handle, 0, 0, data, size);
}

Status HandleCopy(MemoryHandle target, MemoryHandle source) {
  if (!IsLiveHandle(source)) return kErrState;
  if (target == source) return kOk;
  return HandleSetData(target, source->data, source->size);
}

Status HandleAppendHandle(MemoryHandle target, MemoryHandle source) {
  if (!IsLiveHandle(source)) return kErrState;
  return HandleAppendData(target, source->data, source->size);
}

Status HandleReplaceRange(MemoryHandle handle, size_t offset, size_t oldLength, const void* data,
                          size_t newLength) {
  if (!IsLiveHandle(handle) || handle->locked) return kErrState;
  const size_t size = handle->size;
  if (offset > size || oldLength > size - offset) return kErrState;
  const size_t tail = size - offset - oldLength;
  if (newLength > SIZE_MAX - (size - oldLength)) return kErrMemory;
  const size_t newSize = size - oldLength + newLength;

  // The new bytes may lie inside this handle's own data, which a resize can move: keep a copy then.
  const auto* bytes = static_cast<const uint8_t*>(data);
  const auto at = reinterpret_cast<uintptr_t>(bytes), begin = reinterpret_cast<uintptr_t>(handle->data);
  UniqueBlock<uint8_t> ownCopy;
  if (newLength && at >= begin && at - begin < size) {
    ownCopy.reset(static_cast<uint8_t*>(BlockNew(newLength)));
    if (!ownCopy) return kErrMemory;
    std::memcpy(ownCopy.get(), bytes, newLength);
    bytes = ownCopy.get();
  }

  if (newSize > size) {
    Status status = HandleSetSize(handle, newSize);
    if (status != kOk) return status;
  }
  uint8_t* range = HandleData(handle) + offset;
  if (tail && newLength != oldLength) std::memmove(range + newLength, range + oldLength, tail);
  if (newLength) std::memcpy(range, bytes, newLength);
  // Shrinking a block in place does not fail on either heap; the contents are already in place.
  if (newSize < size) return HandleSetSize(handle, newSize);
  return kOk;
}

Status HandleCheckAll(MemoryHandle handle) {
  if (handle && !IsLiveHandle(handle)) return kErrSystem;
  return ScanTable(nullptr);
}

HandleTableInfo HandleTableGetInfo() {
  HandleTableInfo info{};
  for (MasterBlock* block = gBlocks; block; block = block->next) {
    ++info.blocks;
    info.records += block->count;
    const MasterRecord* records = RecordsOf(block);
    for (uint32_t i = 0; i < block->count; ++i) info.live += records[i].inUse ? 1 : 0;
  }
  return info;
}

void* BlockNew(size_t size) { return SystemHeapAllocate(AllocationSize(size), false); }

void* BlockNewClear(size_t size) { return SystemHeapAllocate(AllocationSize(size), true); }

void BlockDispose(void* block) { SystemHeapFree(block); }

void BytesMove(void* target, const void* source, size_t count) {
  if (count) std::memmove(target, source, count);
}

void BytesCopy(void* target, const void* source, size_t count) {
  if (count) std::memmove(target, source, count);
}

void BytesFill(void* target, uint8_t value, size_t count) {
  if (count) std::memset(target, value, count);
}

void BytesZero(void* target, size_t count) { BytesFill(target, 0, count); }
