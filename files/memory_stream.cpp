#include "files/memory_stream.h"

namespace {

// The handle's size is the length: its owner may have resized it since the last call.
uint32_t SyncLength(Stream* stream) {
  stream->length = uint32_t(HandleGetSize(stream->memory));
  return stream->length;
}

Status Read(Stream* stream, uint32_t count, void* buffer) {
  if (uint64_t(stream->position) + count > SyncLength(stream)) return kErrPastEnd;
  BytesCopy(buffer, HandleData(stream->memory) + stream->position, count);
  stream->position += count;
  return kOk;
}

// Resizes the handle; bytes that a longer length adds read as zeros.
Status Resize(Stream* stream, uint64_t length) {
  if (length > UINT32_MAX) return kErrMemory;
  const uint32_t old = SyncLength(stream);
  const Status status = HandleSetSize(stream->memory, size_t(length));
  if (status != kOk) return status;
  if (length > old) BytesZero(HandleData(stream->memory) + old, size_t(length - old));
  stream->length = uint32_t(length);
  return kOk;
}

Status Write(Stream* stream, uint32_t count, const void* buffer) {
  if (!stream->writable) return kErrNotPermitted;
  const uint64_t end = uint64_t(stream->position) + count;
  if (end > SyncLength(stream)) {
    const Status status = Resize(stream, end);
    if (status != kOk) return status;
  }
  BytesCopy(HandleData(stream->memory) + stream->position, buffer, count);
  stream->position = uint32_t(end);
  return kOk;
}

Status GetLength(Stream* stream, uint32_t* length) {
  *length = SyncLength(stream);
  return kOk;
}

Status SetLength(Stream* stream, uint32_t length) {
  if (!stream->writable) return kErrNotPermitted;
  const Status status = Resize(stream, length);
  if (status != kOk) return status;
  if (stream->position > length) stream->position = length;
  return kOk;
}

const StreamOperations kMemoryOperations = {
    Read, Write, GetLength, SetLength, StreamGetPositionField, StreamSetPositionField, nullptr, nullptr,
};

}  // namespace

Status MemoryStreamOpen(MemoryHandle handle, bool writable, Stream** stream) {
  *stream = nullptr;
  for (Stream* open = StreamFirstOpen(); open; open = open->next) {
    if (open->kind == StreamKind::Memory && open->memory == handle) {
      StreamRetain(open);
      *stream = open;
      return kOk;
    }
  }
  Stream* created = StreamCreate(StreamKind::Memory, &kMemoryOperations, writable);
  if (!created) return kErrMemory;
  created->memory = handle;
  SyncLength(created);
  *stream = created;
  return kOk;
}
