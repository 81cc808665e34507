// Network buffers: queue items with a capacity, a length and the data after the header. Pools are
// plain queues of free buffers, shared by the caller's thread and the endpoint threads.
#pragma once

#include <cstdint>

#include "runtime/item_queue.h"
#include "runtime/status.h"

struct NetBuffer {
  QueueItem link;
  uint32_t capacity;
  uint32_t length;
  uint32_t offset;  // bytes at the front already used (a received buffer being cut into records)

  uint8_t* data() { return reinterpret_cast<uint8_t*>(this + 1); }
};

constexpr uint32_t kPoolAddLimit = 1000;

// Appends count new buffers of the given capacity: -7001 for a count of 0 or above kPoolAddLimit,
// -7004 when memory runs out (the buffers made so far stay in the pool).
Status PoolAdd(ItemQueue* pool, uint32_t count, uint32_t capacity);
// The first free buffer, emptied, or none.
NetBuffer* PoolTake(ItemQueue* pool);
void PoolReturn(ItemQueue* pool, NetBuffer* buffer);
// Moves every buffer of a queue back into a pool.
void PoolReturnAll(ItemQueue* pool, ItemQueue* queue);
// Frees every buffer in the queue; the queue itself stays usable.
void PoolFreeAll(ItemQueue* queue);
