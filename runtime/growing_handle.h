// A handle filled from its end, for text and records built piece by piece: it grows by doubling and is
// cut to what was written by Finish. Growing a handle by each piece would copy what it holds again for
// every piece, and what is built from a short input can be long (a page's parameters, a document
// written back as markup).
#pragma once

#include <cstddef>

#include "runtime/memory.h"
#include "runtime/status.h"

class GrowingHandle {
 public:
  // Writes after what the handle holds.
  explicit GrowingHandle(MemoryHandle handle) : handle_(handle), used_(HandleGetSize(handle)) {}
  GrowingHandle(const GrowingHandle&) = delete;
  GrowingHandle& operator=(const GrowingHandle&) = delete;

  size_t Used() const { return used_; }
  // Room for `extra` more bytes after those written; null when there is no memory.
  char* Room(size_t extra) {
    const size_t capacity = HandleGetSize(handle_);
    if (extra > capacity - used_) {
      const size_t wanted = used_ + extra;
      if (wanted < used_ || HandleSetSize(handle_, wanted > capacity * 2 ? wanted : capacity * 2) != kOk) {
        // Doubling may ask for more than there is; the bare need may still fit.
        if (wanted < used_ || HandleSetSize(handle_, wanted) != kOk) return nullptr;
      }
    }
    return reinterpret_cast<char*>(HandleData(handle_)) + used_;
  }
  // Counts bytes written into the room.
  void Advance(size_t written) { used_ += written; }
  Status Append(const void* data, size_t size) {
    char* room = Room(size);
    if (!room) return kErrMemory;
    BytesCopy(room, data, size);
    used_ += size;
    return kOk;
  }
  // The last record of this type written.
  template <typename Record>
  Record& Last() {
    return *reinterpret_cast<Record*>(reinterpret_cast<char*>(HandleData(handle_)) + used_ - sizeof(Record));
  }
  // Cuts the handle to what was written.
  Status Finish() { return HandleSetSize(handle_, used_); }

 private:
  MemoryHandle handle_;
  size_t used_;
};
