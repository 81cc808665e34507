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

class Queue : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(QueueCreate(&queue_), kOk);
    for (size_t i = 0; i < std::size(letters_); ++i) letters_[i] = {{}, char('a' + i)};
  }
  void TearDown() override { QueueDispose(&queue_); }

  void Push(const char* names) {
    for (; *names; ++names) ASSERT_EQ(QueuePush(&queue_, &letters_[*names - 'a'].item), kOk);
  }
  QueueItem* Item(char name) { return &letters_[name - 'a'].item; }
  // Empties the queue, in the order the items come out.
  std::string Drain() {
    std::string names;
    while (QueueItem* item = QueuePop(&queue_)) {
      EXPECT_EQ(item->queue, nullptr);
      EXPECT_EQ(item->next, nullptr);
      names += reinterpret_cast<Letter*>(item)->name;
    }
    EXPECT_EQ(queue_.count, 0u);
    return names;
  }

  ItemQueue queue_;
  Letter letters_[6];
};

TEST_F(Queue, ItemsComeOutInTheOrderTheyWentIn) {
  EXPECT_EQ(QueuePop(&queue_), nullptr);
  Push("abc");
  EXPECT_EQ(queue_.count, 3u);
  EXPECT_EQ(Item('b')->queue, &queue_);
  EXPECT_EQ(Drain(), "abc");
  Push("d");  // the emptied queue takes items again
  EXPECT_EQ(Drain(), "d");
}

TEST_F(Queue, RemoveUnlinksAnyItemAndKeepsTheEndRight) {
  Push("abcd");
  EXPECT_EQ(QueueRemove(&queue_, Item('b')), Item('b'));
  EXPECT_EQ(Item('b')->queue, nullptr);
  EXPECT_EQ(QueueRemove(&queue_, Item('d')), Item('d'));  // the last: the end moves back
  EXPECT_EQ(QueueRemove(&queue_, Item('a')), Item('a'));
  EXPECT_EQ(QueueRemove(&queue_, Item('b')), nullptr);  // no longer in it
  EXPECT_EQ(QueueRemove(&queue_, Item('e')), nullptr);  // never was
  Push("e");
  EXPECT_EQ(Drain(), "ce");
}

TEST_F(Queue, AnItemIsInOneQueueAtATime) {
  ItemQueue other;
  ASSERT_EQ(QueueCreate(&other), kOk);
  Push("ab");
  EXPECT_EQ(QueuePush(&queue_, Item('a')), kErrState);
  EXPECT_EQ(QueuePush(&other, Item('b')), kErrState);
  EXPECT_EQ(QueueRemove(&other, Item('a')), nullptr);
  EXPECT_EQ(other.count, 0u);
  QueueDispose(&other);
  EXPECT_EQ(Drain(), "ab");

  Push("cd");
  QueueDispose(&queue_);  // the items are released to their owner
  EXPECT_EQ(Item('c')->queue, nullptr);
  EXPECT_EQ(QueuePush(&queue_, Item('c')), kErrArgument);
  ASSERT_EQ(QueueCreate(&queue_), kOk);
  Push("dc");
  EXPECT_EQ(Drain(), "dc");
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
