#include "runtime/locks.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <cstring>
#include <functional>
#include <vector>

#include "runtime/atomic.h"

namespace {

// Runs the work on several threads at once and waits for all of them.
void OnThreads(int count, const std::function<void()>& work) {
  std::vector<HANDLE> threads;
  for (int i = 0; i < count; ++i) {
    threads.push_back(CreateThread(nullptr, 0, [](void* context) -> DWORD __stdcall {
      (*static_cast<const std::function<void()>*>(context))();
      return 0;
    }, const_cast<std::function<void()>*>(&work), 0, nullptr));
  }
  EXPECT_EQ(WaitForMultipleObjects(DWORD(count), threads.data(), TRUE, 60000), WAIT_OBJECT_0);
  for (HANDLE thread : threads) CloseHandle(thread);
}

TEST(GlobalLock, IsRecursiveAndKeepsOtherThreadsOutUntilFullyLeft) {
  static std::atomic<bool> entered{false};
  GlobalLockEnter();
  GlobalLockEnter();
  HANDLE other = CreateThread(nullptr, 0, [](void*) -> DWORD __stdcall {
    GlobalLockLeave();  // not the owner: nothing happens
    GlobalLockScope scope;
    entered = true;
    return 0;
  }, nullptr, 0, nullptr);
  GlobalLockLeave();
  EXPECT_EQ(WaitForSingleObject(other, 100), WAIT_TIMEOUT);
  EXPECT_FALSE(entered);
  GlobalLockLeave();
  EXPECT_FALSE(GlobalLockIsHeld());
  EXPECT_EQ(WaitForSingleObject(other, 5000), WAIT_OBJECT_0);
  EXPECT_TRUE(entered);
  CloseHandle(other);
}

TEST(Locks, SerialiseThreadsCountWhatEachHoldsAndRefuseWhatIsNotALiveHeldLock) {
  Lock* lock = nullptr;
  ASSERT_EQ(LockCreate(&lock), kOk);
  int value = 0;  // touched under the lock only
  std::atomic<bool> failed{false};
  OnThreads(4, [&] {
    for (int i = 0; i < 20000; ++i) {
      if (LockEnter(lock) != kOk || LockHeldCount() != 1) failed = true;
      const int seen = value;
      if (i % 100 == 0) SwitchToThread();  // invite another thread into the gap
      value = seen + 1;
      if (LockLeave(lock) != kOk || LockHeldCount() != 0) failed = true;
    }
  });
  EXPECT_FALSE(failed);
  EXPECT_EQ(value, 80000);

  EXPECT_EQ(LockLeave(lock), kErrState);  // not held
  EXPECT_EQ(LockEnter(lock), kOk);
  EXPECT_EQ(LockEnter(lock), kOk);  // recursive
  EXPECT_EQ(LockHeldCount(), 2u);
  OnThreads(1, [&] { failed = LockLeave(lock) != kErrState; });  // nor can another thread leave it for this one
  EXPECT_FALSE(failed);
  EXPECT_EQ(LockLeave(lock), kOk);
  EXPECT_EQ(LockLeave(lock), kOk);
  EXPECT_EQ(LockHeldCount(), 0u);
  uint32_t notALock[16] = {};
  EXPECT_EQ(LockEnter(reinterpret_cast<Lock*>(notALock)), kErrArgument);
  LockDispose(lock);
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

    const Status expected = offset == 0 ? kOk : kErrArgument;  // unaligned: added, and reported
    int32_t previous = 0;
    EXPECT_EQ(AtomicAdd(signedWord, 8, &previous), expected);
    EXPECT_EQ(previous, -9);
    std::atomic<int> unexpectedStatus{0};
    OnThreads(4, [&] {
      int32_t before;
      for (int i = 0; i < 20000; ++i) unexpectedStatus += AtomicAdd(signedWord, 1, &before) != expected;
    });
    EXPECT_EQ(unexpectedStatus, 0);
    int32_t value;
    std::memcpy(&value, bytes + offset, 4);
    EXPECT_EQ(value, 80000 - 1);
    EXPECT_EQ(bytes[offset + 4], 0);  // nothing written past the word
  }
}

}  // namespace
