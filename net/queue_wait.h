// Waiting for an item of a queue that another thread fills, while the program stays responsive.
#pragma once

#include <cstdint>

#include "runtime/item_queue.h"

constexpr uint32_t kQueueWaitLongestSeconds = 3600;
constexpr uint32_t kQueuePollMs = 20;

// Takes the first item, waiting for one up to the given time in alertable sleeps of at most
// kQueuePollMs that run the idle tasks between them; none when the time ran out. The item is taken as
// soon as the slice in which it arrived ends.
QueueItem* QueueWaitMilliseconds(ItemQueue* queue, uint32_t milliseconds);
// The same in seconds, at most kQueueWaitLongestSeconds.
QueueItem* QueueWait(ItemQueue* queue, uint32_t seconds);
