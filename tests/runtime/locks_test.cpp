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
  EXPECT_EQ(WaitForMultipleObjects(DWORD(count), threads.data(), TRUE, 60000), WAIT_OBJECT_0);
  for (HANDLE thread : threads) CloseHandle(thread);
}

std::atomic<bool> gEntered{false};

TEST(GlobalLock, IsRecursiveAndKeepsOtherThreadsOutUntilFullyLeft) {
  GlobalLockEnter();
  GlobalLockEnter();
  HANDLE other = CreateThread(nullptr, 0, [](void*) -> DWORD __stdcall {
    GlobalLockLeave();  // not the owner: nothing happens
    GlobalLockScope scope;
    gEntered = true;
    return 0;
  }, nullptr, 0, nullptr);
  GlobalLockLeave();
  EXPECT_EQ(WaitForSingleObject(other, 100), WAIT_TIMEOUT);
  EXPECT_FALSE(gEntered);
  GlobalLockLeave();
  EXPECT_FALSE(GlobalLockIsHeld());
  EXPECT_EQ(WaitForSingleObject(other, 5000), WAIT_OBJECT_0);
  EXPECT_TRUE(gEntered);
  CloseHandle(other);
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

TEST(Locks, SerialiseThreadsCountWhatEachHoldsAndRefuseWhatIsNotALiveHeldLock) {
  Counted counted;
  ASSERT_EQ(LockCreate(&counted.lock), kOk);
  OnThreads(4, CountUnderLock, &counted);
  EXPECT_FALSE(counted.failed);
  EXPECT_EQ(counted.value, 80000);

  EXPECT_EQ(LockLeave(counted.lock), kErrState);  // not held
  EXPECT_EQ(LockEnter(counted.lock), kOk);
  EXPECT_EQ(LockEnter(counted.lock), kOk);  // recursive
  EXPECT_EQ(LockHeldCount(), 2u);
  OnThreads(1, [](void* context) -> DWORD __stdcall {  // another thread cannot leave it for this one
    auto* c = static_cast<Counted*>(context);
    c->failed = LockLeave(c->lock) != kErrState;
    return 0;
  }, &counted);
  EXPECT_FALSE(counted.failed);
  EXPECT_EQ(LockLeave(counted.lock), kOk);
  EXPECT_EQ(LockLeave(counted.lock), kOk);
  EXPECT_EQ(LockHeldCount(), 0u);

  uint32_t notALock[16] = {};
  EXPECT_EQ(LockEnter(reinterpret_cast<Lock*>(notALock)), kErrArgument);
  LockDispose(counted.lock);
}

struct Sums {
  volatile int32_t* word;
  Status expected;
  std::atomic<int> unexpectedStatus{0};
};

DWORD WINAPI AddMany(void* context) {
  auto* sums = static_cast<Sums*>(context);
  int32_t before;
  for (int i = 0; i < 20000; ++i)
    if (AtomicAdd(sums->word, 1, &before) != sums->expected) ++sums->unexpectedStatus;
  return 0;
}

// An unaligned word takes the global lock's path, which must be as atomic as the interlocked one.
TEST(Atomics, WorkAlikeOnAlignedAndUnalignedWords) {
  alignas(4) uint8_t bytes[12] = {};
  for (size_t offset : {size_t(0), size_t(1), size_t(3)}) {
    SCOPED_TRACE(offset);
    std::memset(bytes, 0, sizeof bytes);
    auto* word = reinterpret_cast<volatile uint32_t*>(bytes + offset);
    auto* signedWord = reinterpret_cast<volatile int32_t*>(bytes + offset);
    EXPECT_FALSE(AtomicTestAndSetBit(word, 0));
    EXPECT_TRUE(AtomicTestAndSetBit(word, 0));
    EXPECT_FALSE(AtomicTestAndSetBit(word, 31));
    EXPECT_FALSE(AtomicTestAndSetBit(word, 32));  // no such bit
    EXPECT_TRUE(AtomicTestAndClearBit(word, 31));
    EXPECT_EQ(AtomicCompareExchange(signedWord, 5, 9), 1);  // not 5: unchanged
    EXPECT_EQ(AtomicCompareExchange(signedWord, 1, -9), 1);

    Sums sums{signedWord, offset == 0 ? kOk : kErrArgument};
    int32_t previous = 0;
    EXPECT_EQ(AtomicAdd(signedWord, 8, &previous), sums.expected);  // unaligned: added, and reported
    EXPECT_EQ(previous, -9);
    OnThreads(4, AddMany, &sums);
    EXPECT_EQ(sums.unexpectedStatus, 0);
    int32_t value;
    std::memcpy(&value, bytes + offset, 4);
    EXPECT_EQ(value, 80000 - 1);
    EXPECT_EQ(bytes[offset + 4], 0);  // nothing written past the word
  }
}

}  // namespace
