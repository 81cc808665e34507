#include "net/queue_wait.h"

#include <windows.h>

#include "runtime/clock.h"
#include "runtime/platform_routines.h"

QueueItem* QueueWaitMilliseconds(ItemQueue* queue, uint32_t milliseconds) {
  QueueItem* item = QueuePop(queue);
  if (item) return item;
  const int64_t deadline = ClockMilliseconds() + milliseconds;
  for (;;) {
    const int64_t left = deadline - ClockMilliseconds();
    if (left <= 0) return nullptr;
    SleepEx(DWORD(left < kQueuePollMs ? left : kQueuePollMs), TRUE);
    PlatformRunIdle();
    item = QueuePop(queue);
    if (item) return item;
  }
}

QueueItem* QueueWait(ItemQueue* queue, uint32_t seconds) {
  if (seconds > kQueueWaitLongestSeconds) seconds = kQueueWaitLongestSeconds;
  return QueueWaitMilliseconds(queue, seconds * 1000);
}
