#include "runtime/item_queue.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

namespace {

struct Letter {
  QueueItem item;  // first, so that a queue item is a letter
  char name;
};

// Empties the queue and tells the order in which the items came out.
std::string Drain(ItemQueue* queue) {
  std::string names;
  while (QueueItem* item = QueuePop(queue)) {
    EXPECT_EQ(item->queue, nullptr);
    EXPECT_EQ(item->next, nullptr);
    names += reinterpret_cast<Letter*>(item)->name;
  }
  EXPECT_EQ(queue->count, 0u);
  return names;
}

TEST(Queue, FirstInFirstOutRemovalFromAnywhereAndOneQueueAtATime) {
  Letter letters[6];
  const auto item = [&](char name) { return &letters[name - 'a'].item; };
  for (char name = 'a'; name <= 'f'; ++name) letters[name - 'a'] = {{}, name};
  ItemQueue queue, other;
  ASSERT_EQ(QueueCreate(&queue), kOk);
  ASSERT_EQ(QueueCreate(&other), kOk);
  EXPECT_EQ(QueuePop(&queue), nullptr);
  for (char name : std::string("abcde")) ASSERT_EQ(QueuePush(&queue, item(name)), kOk);
  EXPECT_EQ(queue.count, 5u);
  EXPECT_EQ(QueuePush(&queue, item('a')), kErrState);  // already queued, here or elsewhere
  EXPECT_EQ(QueuePush(&other, item('b')), kErrState);
  EXPECT_EQ(QueueRemove(&other, item('b')), nullptr);
  EXPECT_EQ(QueueRemove(&queue, item('b')), item('b'));
  EXPECT_EQ(QueueRemove(&queue, item('e')), item('e'));  // the last: the end moves back
  EXPECT_EQ(QueueRemove(&queue, item('a')), item('a'));
  EXPECT_EQ(QueueRemove(&queue, item('b')), nullptr);  // no longer in it
  ASSERT_EQ(QueuePush(&queue, item('f')), kOk);
  ASSERT_EQ(QueuePush(&queue, item('b')), kOk);
  EXPECT_EQ(Drain(&queue), "cdfb");
  ASSERT_EQ(QueuePush(&queue, item('a')), kOk);  // the emptied queue takes items again
  QueueDispose(&queue);  // and gives them back to their owner
  EXPECT_EQ(item('a')->queue, nullptr);
  EXPECT_EQ(QueuePush(&queue, item('a')), kErrArgument);
  QueueDispose(&other);
}

// Several threads push, pop and remove at once; every item must come out exactly once.
struct Numbered {
  QueueItem item;
  uint32_t number;
};

constexpr int kProducers = 4;
constexpr int kConsumers = 3;
constexpr uint32_t kPerProducer = 5000;
constexpr uint32_t kTotal = kProducers * kPerProducer;

struct Traffic {
  ItemQueue queue;
  std::unique_ptr<Numbered[]> items{new Numbered[kTotal]};
  std::unique_ptr<std::atomic<int>[]> seen{new std::atomic<int>[kTotal]};
  std::atomic<uint32_t> taken{0};
  std::atomic<int> producer{0};
  std::atomic<bool> pushFailed{false};
  std::atomic<bool> giveUp{false};  // set when items went missing, so that the consumers end

  void Take(QueueItem* item) {
    ++seen[reinterpret_cast<Numbered*>(item)->number];
    ++taken;
  }
};

DWORD WINAPI Produce(void* parameter) {
  auto* traffic = static_cast<Traffic*>(parameter);
  const uint32_t first = traffic->producer++ * kPerProducer;
  for (uint32_t i = first; i < first + kPerProducer; ++i) {
    traffic->items[i] = {{}, i};
    if (QueuePush(&traffic->queue, &traffic->items[i].item) != kOk) traffic->pushFailed = true;
    // Every so often take back an item pushed a little earlier, if no consumer got it first.
    if (i % 7 == 0 && i >= first + 3)
      if (QueueItem* removed = QueueRemove(&traffic->queue, &traffic->items[i - 3].item))
        traffic->Take(removed);
  }
  return 0;
}

DWORD WINAPI Consume(void* parameter) {
  auto* traffic = static_cast<Traffic*>(parameter);
  while (traffic->taken < kTotal && !traffic->giveUp) {
    if (QueueItem* item = QueuePop(&traffic->queue))
      traffic->Take(item);
    else
      SwitchToThread();
  }
  return 0;
}

TEST(QueueTraffic, NothingIsLostOrDuplicated) {
  Traffic traffic;
  ASSERT_EQ(QueueCreate(&traffic.queue), kOk);
  for (uint32_t i = 0; i < kTotal; ++i) traffic.seen[i] = 0;
  std::vector<HANDLE> threads;
  for (int i = 0; i < kConsumers; ++i) threads.push_back(CreateThread(nullptr, 0, Consume, &traffic, 0, nullptr));
  for (int i = 0; i < kProducers; ++i) threads.push_back(CreateThread(nullptr, 0, Produce, &traffic, 0, nullptr));
  for (HANDLE thread : threads) ASSERT_NE(thread, nullptr);
  const DWORD ended = WaitForMultipleObjects(DWORD(threads.size()), threads.data(), TRUE, 60000);
  EXPECT_EQ(ended, WAIT_OBJECT_0);
  traffic.giveUp = true;
  WaitForMultipleObjects(DWORD(threads.size()), threads.data(), TRUE, INFINITE);
  for (HANDLE thread : threads) CloseHandle(thread);

  EXPECT_FALSE(traffic.pushFailed);
  EXPECT_EQ(traffic.taken, kTotal);
  uint32_t wrong = 0;
  for (uint32_t i = 0; i < kTotal; ++i) wrong += traffic.seen[i] != 1;
  EXPECT_EQ(wrong, 0u);
  EXPECT_EQ(traffic.queue.count, 0u);
  EXPECT_EQ(QueuePop(&traffic.queue), nullptr);
  QueueDispose(&traffic.queue);
}

}  // namespace
