#include "runtime/item_queue.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <string>
#include <vector>

namespace {

TEST(Queue, FirstInFirstOutRemovalFromAnywhereAndOneQueueAtATime) {
  struct Letter {
    QueueItem item;  // first, so that a queue item is a letter
    char name;
  } letters[6] = {{{}, 'a'}, {{}, 'b'}, {{}, 'c'}, {{}, 'd'}, {{}, 'e'}, {{}, 'f'}};
  const auto item = [&](char name) { return &letters[name - 'a'].item; };
  ItemQueue queue, other;
  ASSERT_EQ(QueueCreate(&queue), kOk);
  ASSERT_EQ(QueueCreate(&other), kOk);
  for (char name : std::string("abcde")) ASSERT_EQ(QueuePush(&queue, item(name)), kOk);
  EXPECT_EQ(QueuePush(&other, item('a')), kErrState);  // already queued elsewhere
  EXPECT_EQ(QueueRemove(&other, item('b')), nullptr);
  EXPECT_EQ(QueueRemove(&queue, item('b')), item('b'));
  EXPECT_EQ(QueueRemove(&queue, item('e')), item('e'));  // the last: the end moves back
  EXPECT_EQ(QueueRemove(&queue, item('a')), item('a'));
  EXPECT_EQ(QueueRemove(&queue, item('b')), nullptr);  // no longer in it
  ASSERT_EQ(QueuePush(&queue, item('f')), kOk);
  ASSERT_EQ(QueuePush(&queue, item('b')), kOk);
  std::string names;
  while (QueueItem* popped = QueuePop(&queue)) names += reinterpret_cast<Letter*>(popped)->name;
  EXPECT_EQ(names, "cdfb");
  ASSERT_EQ(QueuePush(&queue, item('b')), kOk);  // a popped item may be queued again
  QueueDispose(&queue);  // and is given back to its owner
  EXPECT_EQ(item('b')->queue, nullptr);
  QueueDispose(&other);
}

// Several threads push, pop and remove at once; every item must come out exactly once.
constexpr int kProducers = 4;
constexpr int kConsumers = 3;
constexpr uint32_t kPerProducer = 5000;
constexpr uint32_t kTotal = kProducers * kPerProducer;

struct Numbered {
  QueueItem item;
  uint32_t number;
};

struct Traffic {
  ItemQueue queue;
  std::vector<Numbered> items = std::vector<Numbered>(kTotal);
  std::vector<std::atomic<int>> seen = std::vector<std::atomic<int>>(kTotal);
  std::atomic<int> roles{0};
  std::atomic<int> producing{kProducers};
  std::atomic<bool> pushFailed{false};
};

DWORD WINAPI TakePart(void* parameter) {
  auto* traffic = static_cast<Traffic*>(parameter);
  const auto take = [&](QueueItem* item) { ++traffic->seen[reinterpret_cast<Numbered*>(item)->number]; };
  const int role = traffic->roles++;
  if (role >= kProducers) {  // a consumer, until the producers are done and the queue is empty
    for (bool done = false; !done; SwitchToThread()) {
      done = traffic->producing == 0;
      while (QueueItem* item = QueuePop(&traffic->queue)) take(item);
    }
    return 0;
  }
  for (uint32_t i = role * kPerProducer; i < (role + 1) * kPerProducer; ++i) {
    traffic->items[i] = {{}, i};
    if (QueuePush(&traffic->queue, &traffic->items[i].item) != kOk) traffic->pushFailed = true;
    // Every so often take back an item pushed a little earlier, if no consumer got it first.
    if (i % 7 == 0 && i >= role * kPerProducer + 3)
      if (QueueItem* removed = QueueRemove(&traffic->queue, &traffic->items[i - 3].item)) take(removed);
  }
  --traffic->producing;
  return 0;
}

TEST(QueueTraffic, NothingIsLostOrDuplicated) {
  Traffic traffic;
  ASSERT_EQ(QueueCreate(&traffic.queue), kOk);
  std::vector<HANDLE> threads;
  for (int i = 0; i < kProducers + kConsumers; ++i)
    threads.push_back(CreateThread(nullptr, 0, TakePart, &traffic, 0, nullptr));
  ASSERT_EQ(WaitForMultipleObjects(DWORD(threads.size()), threads.data(), TRUE, 60000), WAIT_OBJECT_0);
  for (HANDLE thread : threads) CloseHandle(thread);
  EXPECT_FALSE(traffic.pushFailed);
  uint32_t wrong = 0;
  for (uint32_t i = 0; i < kTotal; ++i) wrong += traffic.seen[i] != 1;
  EXPECT_EQ(wrong, 0u);
  EXPECT_EQ(traffic.queue.count, 0u);
  QueueDispose(&traffic.queue);
}

}  // namespace
