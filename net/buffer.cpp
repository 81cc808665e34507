#include "net/buffer.h"

#include "runtime/system_heap.h"

Status PoolAdd(ItemQueue* pool, uint32_t count, uint32_t capacity) {
  if (!pool || count == 0 || count > kPoolAddLimit) return kErrArgument;
  for (uint32_t i = 0; i < count; ++i) {
    // The system heap, not memory handles: endpoint threads take and return these buffers.
    auto* buffer = static_cast<NetBuffer*>(SystemHeapAllocate(sizeof(NetBuffer) + capacity, true));
    if (!buffer) return kErrMemory;
    buffer->capacity = capacity;
    QueuePush(pool, &buffer->link);
  }
  return kOk;
}

NetBuffer* PoolTake(ItemQueue* pool) {
  auto* buffer = reinterpret_cast<NetBuffer*>(QueuePop(pool));
  if (buffer) {
    buffer->length = 0;
    buffer->offset = 0;
  }
  return buffer;
}

void PoolReturn(ItemQueue* pool, NetBuffer* buffer) {
  if (buffer) QueuePush(pool, &buffer->link);
}

void PoolReturnAll(ItemQueue* pool, ItemQueue* queue) {
  while (QueueItem* item = QueuePop(queue)) QueuePush(pool, item);
}

void PoolFreeAll(ItemQueue* queue) {
  while (QueueItem* item = QueuePop(queue)) SystemHeapFree(item);
}
