// A first-in first-out queue of caller-owned items, shared between threads. An item begins with a
// QueueItem header: the queue links items through it and notes which queue holds it.
#pragma once

#include <cstdint>

#include "runtime/status.h"

struct ItemQueue;

struct QueueItem {
  QueueItem* next;
  ItemQueue* queue;  // the queue that holds the item, or none
};

struct ItemQueue {
  QueueItem* first;
  QueueItem* last;
  uint32_t count;
  void* mutex;
};

// -7000 when the mutex cannot be made.
Status QueueCreate(ItemQueue* queue);
// Releases the mutex; items still queued are left to their owner, marked as in no queue.
void QueueDispose(ItemQueue* queue);

// Appends at the end. An item that is already in a queue is refused with -7002: linking it twice would
// tie its old queue's chain into this one.
Status QueuePush(ItemQueue* queue, QueueItem* item);
// Takes the first item; none when the queue is empty.
QueueItem* QueuePop(ItemQueue* queue);
// Takes the given item out; none when it is not in this queue.
QueueItem* QueueRemove(ItemQueue* queue, QueueItem* item);
