// Memory handles, fixed blocks and byte helpers: the allocation layer of every other module.
//
// A handle is a fixed reference to a master record that points at a resizable data block. Code keeps
// handles, not data pointers, across any call that may resize; a locked handle promises that its data
// neither moves nor changes size. Handles are used on the interface thread only: the table has no lock.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "runtime/status.h"

struct MasterBlock;

// The handle is the address of its record and the data pointer comes first, so dereferencing a handle
// as a pointer to a pointer gives the data.
struct MasterRecord {
  void* data;
  uint32_t guard;  // always kHandleGuard; anything else marks a damaged table
  uint32_t size;
  uint8_t locked;
  uint8_t inUse;
  MasterBlock* block;
};

using MemoryHandle = MasterRecord*;

constexpr uint32_t kHandleGuard = 0xDEADBEEF;
constexpr uint32_t kRecordsPerMasterBlock = 256;

// Creation. Each validates the whole table first and gives none when it is damaged or memory runs out.
MemoryHandle HandleNew(size_t size);  // contents undefined
MemoryHandle HandleNewClear(size_t size);
MemoryHandle HandleNewFromData(const void* data, size_t size);
MemoryHandle HandleNewTemporary(size_t size);
MemoryHandle HandleDuplicate(MemoryHandle handle);
void HandleDispose(MemoryHandle handle);  // none is allowed

inline uint8_t* HandleData(MemoryHandle handle) { return static_cast<uint8_t*>(handle->data); }
size_t HandleGetSize(MemoryHandle handle);
bool HandleIsLocked(MemoryHandle handle);
bool HandleSetLock(MemoryHandle handle, bool locked);  // returns the previous state, for the caller to restore

// Changes of contents: -7002 on a locked handle, -7004 when memory runs out; nothing changes on failure.
Status HandleSetSize(MemoryHandle handle, size_t size);
Status HandleSetData(MemoryHandle handle, const void* data, size_t size);
Status HandleAppendData(MemoryHandle handle, const void* data, size_t size);
Status HandleInsertData(MemoryHandle handle, const void* data, size_t size);
Status HandleCopy(MemoryHandle target, MemoryHandle source);
Status HandleAppendHandle(MemoryHandle target, MemoryHandle source);
// Replaces [offset, offset + oldLength) by newLength bytes from data; -7002 when the range passes the end.
Status HandleReplaceRange(MemoryHandle handle, size_t offset, size_t oldLength, const void* data,
                          size_t newLength);

// Walks every record of the table (and checks the given handle, when there is one): 0 or -7000.
Status HandleCheckAll(MemoryHandle handle);

struct HandleTableInfo {
  uint32_t blocks;
  uint32_t records;
  uint32_t live;
};
HandleTableInfo HandleTableGetInfo();

// Fixed blocks from the process heap.
void* BlockNew(size_t size);
void* BlockNewClear(size_t size);
void BlockDispose(void* block);

// Both are safe for overlapping ranges.
void BytesMove(void* target, const void* source, size_t count);
void BytesCopy(void* target, const void* source, size_t count);
void BytesFill(void* target, uint8_t value, size_t count);
void BytesZero(void* target, size_t count);

// Scoped ownership and locking, for functions whose clean-up path should be obviously right.
struct HandleDisposer {
  void operator()(MasterRecord* handle) const { HandleDispose(handle); }
};
using UniqueHandle = std::unique_ptr<MasterRecord, HandleDisposer>;

struct BlockDisposer {
  void operator()(void* block) const { BlockDispose(block); }
};
template <class T>
using UniqueBlock = std::unique_ptr<T, BlockDisposer>;

// Locks a handle for the scope and restores its previous lock state.
class HandleLockScope {
 public:
  explicit HandleLockScope(MemoryHandle handle) : handle_(handle), wasLocked_(HandleSetLock(handle, true)) {}
  ~HandleLockScope() { HandleSetLock(handle_, wasLocked_); }
  HandleLockScope(const HandleLockScope&) = delete;
  HandleLockScope& operator=(const HandleLockScope&) = delete;

 private:
  MemoryHandle handle_;
  bool wasLocked_;
};
