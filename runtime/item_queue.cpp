#include "runtime/item_queue.h"

#include <windows.h>

namespace {

class QueueScope {
 public:
  explicit QueueScope(ItemQueue* queue) : mutex_(queue->mutex) { WaitForSingleObject(mutex_, INFINITE); }
  ~QueueScope() { ReleaseMutex(mutex_); }
  QueueScope(const QueueScope&) = delete;
  QueueScope& operator=(const QueueScope&) = delete;

 private:
  HANDLE mutex_;
};

void Detach(QueueItem* item) {
  item->next = nullptr;
  item->queue = nullptr;
}

}  // namespace

Status QueueCreate(ItemQueue* queue) {
  if (!queue) return kErrArgument;
  *queue = {};
  queue->mutex = CreateMutexA(nullptr, FALSE, nullptr);
  if (!queue->mutex) return kErrSystem;
  return kOk;
}

void QueueDispose(ItemQueue* queue) {
  if (!queue || !queue->mutex) return;
  for (QueueItem* item = queue->first; item;) {
    QueueItem* next = item->next;
    Detach(item);
    item = next;
  }
  CloseHandle(queue->mutex);
  *queue = {};
}

Status QueuePush(ItemQueue* queue, QueueItem* item) {
  if (!queue || !queue->mutex || !item) return kErrArgument;
  QueueScope guard(queue);
  if (item->queue) return kErrState;
  item->next = nullptr;
  item->queue = queue;
  if (queue->last)
    queue->last->next = item;
  else
    queue->first = item;
  queue->last = item;
  ++queue->count;
  return kOk;
}

QueueItem* QueuePop(ItemQueue* queue) {
  if (!queue || !queue->mutex) return nullptr;
  QueueScope guard(queue);
  QueueItem* item = queue->first;
  if (!item) return nullptr;
  queue->first = item->next;
  if (!queue->first) queue->last = nullptr;
  --queue->count;
  Detach(item);
  return item;
}

QueueItem* QueueRemove(ItemQueue* queue, QueueItem* item) {
  if (!queue || !queue->mutex || !item) return nullptr;
  QueueScope guard(queue);
  if (item->queue != queue) return nullptr;
  QueueItem* before = nullptr;
  for (QueueItem* at = queue->first; at != item; at = at->next) {
    if (!at) return nullptr;  // marked for this queue but not linked: leave it alone
    before = at;
  }
  (before ? before->next : queue->first) = item->next;
  if (queue->last == item) queue->last = before;
  --queue->count;
  Detach(item);
  return item;
}
