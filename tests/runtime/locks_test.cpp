#include "runtime/locks.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <cstring>
#include <vector>

#include "runtime/atomic.h"

namespace {

// Runs the routine on several threads at once and waits for all of them.
void OnThreads(int count, LPTHREAD_START_ROUTINE routine, void* context) {
  std::vector<HANDLE> threads;
  for (int i = 0; i < count; ++i) threads.push_back(CreateThread(nullptr, 0, routine, context, 0, nullptr));
  for (HANDLE thread : threads) ASSERT_NE(thread, nullptr);
  EXPECT_EQ(WaitForMultipleObjects(DWORD(count), threads.data(), TRUE, 60000), WAIT_OBJECT_0);
  for (HANDLE thread : threads) CloseHandle(thread);
}

HANDLE StartThread(LPTHREAD_START_ROUTINE routine, void* context) {
  return CreateThread(nullptr, 0, routine, context, 0, nullptr);
}

std::atomic<bool> gEntered{false};

DWORD WINAPI EnterGlobalLock(void*) {
  GlobalLockLeave();  // not the owner: nothing happens
  GlobalLockEnter();
  gEntered = true;
  GlobalLockLeave();
  return 0;
}

TEST(GlobalLock, IsRecursiveAndKeepsOtherThreadsOutUntilFullyLeft) {
  GlobalLockEnter();
  GlobalLockEnter();
  EXPECT_TRUE(GlobalLockIsHeld());
  HANDLE other = StartThread(EnterGlobalLock, nullptr);
  ASSERT_NE(other, nullptr);
  EXPECT_EQ(WaitForSingleObject(other, 100), WAIT_TIMEOUT);
  GlobalLockLeave();
  EXPECT_EQ(WaitForSingleObject(other, 100), WAIT_TIMEOUT);
  EXPECT_FALSE(gEntered);
  GlobalLockLeave();
  EXPECT_FALSE(GlobalLockIsHeld());
  EXPECT_EQ(WaitForSingleObject(other, 5000), WAIT_OBJECT_0);
  EXPECT_TRUE(gEntered);
  CloseHandle(other);

  GlobalLockEnter();
  GlobalLockEnter();
  GlobalLockRelease();  // all the way out at once
  EXPECT_FALSE(GlobalLockIsHeld());
}

struct Counted {
  Lock* lock = nullptr;
  int value = 0;  // touched under the lock only
  std::atomic<bool> failed{false};
};

DWORD WINAPI CountUnderLock(void* context) {
  auto* c = static_cast<Counted*>(context);
  for (int i = 0; i < 20000; ++i) {
    if (LockEnter(c->lock) != kOk || LockHeldCount() != 1) c->failed = true;
    const int seen = c->value;
    if (i % 100 == 0) SwitchToThread();  // invite another thread into the gap
    c->value = seen + 1;
    if (LockLeave(c->lock) != kOk || LockHeldCount() != 0) c->failed = true;
  }
  return 0;
}

TEST(Locks, SerialiseThreadsAndCountWhatEachThreadHolds) {
  Counted counted;
  ASSERT_EQ(LockCreate(&counted.lock), kOk);
  OnThreads(4, CountUnderLock, &counted);
  EXPECT_FALSE(counted.failed);
  EXPECT_EQ(counted.value, 80000);

  Lock* second = nullptr;
  ASSERT_EQ(LockCreate(&second), kOk);
  EXPECT_EQ(LockEnter(counted.lock), kOk);
  EXPECT_EQ(LockEnter(second), kOk);
  EXPECT_EQ(LockEnter(counted.lock), kOk);  // critical sections are recursive
  EXPECT_EQ(LockHeldCount(), 3u);
  EXPECT_EQ(LockLeave(counted.lock), kOk);
  EXPECT_EQ(LockLeave(second), kOk);
  EXPECT_EQ(LockLeave(counted.lock), kOk);
  EXPECT_EQ(LockHeldCount(), 0u);
  LockDispose(second);
  LockDispose(counted.lock);
}

DWORD WINAPI LeaveOthersLock(void* lock) { return DWORD(-LockLeave(static_cast<Lock*>(lock))); }

TEST(Locks, RefuseWhatIsNotALiveLockOrNotHeld) {
  Lock* lock = nullptr;
  ASSERT_EQ(LockCreate(&lock), kOk);
  EXPECT_EQ(LockLeave(lock), kErrState);  // not held
  ASSERT_EQ(LockEnter(lock), kOk);
  HANDLE other = StartThread(LeaveOthersLock, lock);
  ASSERT_NE(other, nullptr);
  WaitForSingleObject(other, INFINITE);
  DWORD otherStatus = 0;
  GetExitCodeThread(other, &otherStatus);
  CloseHandle(other);
  EXPECT_EQ(-Status(otherStatus), kErrState);  // another thread cannot leave it for us
  EXPECT_EQ(LockHeldCount(), 1u);
  EXPECT_EQ(LockLeave(lock), kOk);

  uint32_t notALock[16] = {};
  EXPECT_EQ(LockEnter(reinterpret_cast<Lock*>(notALock)), kErrArgument);
  EXPECT_EQ(LockEnter(nullptr), kErrArgument);
  EXPECT_EQ(LockCreate(nullptr), kErrArgument);
  LockDispose(lock);
  LockDispose(nullptr);
}

TEST(Atomics, BitsAndCompareExchangeOnAlignedAndUnalignedWords) {
  alignas(4) uint8_t bytes[12] = {};
  for (size_t offset : {size_t(0), size_t(1), size_t(3)}) {
    SCOPED_TRACE(offset);
    auto* word = reinterpret_cast<volatile uint32_t*>(bytes + offset);
    EXPECT_FALSE(AtomicTestAndSetBit(word, 0));
    EXPECT_TRUE(AtomicTestAndSetBit(word, 0));
    EXPECT_FALSE(AtomicTestAndSetBit(word, 31));
    EXPECT_FALSE(AtomicTestAndSetBit(word, 32));  // no such bit
    uint32_t value;
    std::memcpy(&value, bytes + offset, 4);
    EXPECT_EQ(value, 0x80000001u);
    EXPECT_TRUE(AtomicTestAndClearBit(word, 31));
    EXPECT_FALSE(AtomicTestAndClearBit(word, 31));

    auto* signedWord = reinterpret_cast<volatile int32_t*>(bytes + offset);
    EXPECT_EQ(AtomicCompareExchange(signedWord, 5, 9), 1);  // not 5: unchanged
    EXPECT_EQ(AtomicCompareExchange(signedWord, 1, -9), 1);
    std::memcpy(&value, bytes + offset, 4);
    EXPECT_EQ(int32_t(value), -9);
    std::memset(bytes, 0, sizeof bytes);
  }
  EXPECT_EQ(bytes[8], 0);  // nothing written past the word
}

struct Sums {
  volatile int32_t* word;
  std::atomic<int> unexpectedStatus{0};
  Status expected;
};

DWORD WINAPI AddMany(void* context) {
  auto* s = static_cast<Sums*>(context);
  int32_t before;
  for (int i = 0; i < 20000; ++i)
    if (AtomicAdd(s->word, 1, &before) != s->expected) ++s->unexpectedStatus;
  return 0;
}

// Adds from several threads at once: the unaligned path must be as atomic as the interlocked one.
TEST(Atomics, AddIsAtomicOnBothPathsAndReportsAnUnalignedWord) {
  alignas(4) uint8_t bytes[12] = {};
  for (size_t offset : {size_t(0), size_t(2)}) {
    SCOPED_TRACE(offset);
    Sums sums;
    sums.word = reinterpret_cast<volatile int32_t*>(bytes + offset);
    sums.expected = offset == 0 ? kOk : kErrArgument;
    int32_t previous = 77;
    EXPECT_EQ(AtomicAdd(sums.word, -1, &previous), sums.expected);
    EXPECT_EQ(previous, 0);
    OnThreads(4, AddMany, &sums);
    EXPECT_EQ(sums.unexpectedStatus, 0);
    int32_t total;
    std::memcpy(&total, bytes + offset, 4);
    EXPECT_EQ(total, 80000 - 1);
    std::memset(bytes, 0, sizeof bytes);
  }
}

}  // namespace
