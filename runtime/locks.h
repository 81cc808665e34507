// The process-wide recursive lock, and small per-object locks for state shared between threads.
#pragma once

#include <cstdint>

#include "runtime/status.h"

// Recursive: entering again from the owning thread only counts. Usable at any time, also before the
// platform starts and after it stops. Leaving from a thread that does not own it does nothing.
void GlobalLockEnter();
void GlobalLockLeave();
bool GlobalLockIsHeld();  // by the calling thread
// Leaves as often as the calling thread entered; for the platform's shutdown.
void GlobalLockRelease();

class GlobalLockScope {
 public:
  GlobalLockScope() { GlobalLockEnter(); }
  ~GlobalLockScope() { GlobalLockLeave(); }
  GlobalLockScope(const GlobalLockScope&) = delete;
  GlobalLockScope& operator=(const GlobalLockScope&) = delete;
};

struct Lock;
constexpr uint32_t kLockTag = 0xDEAD1CE5;

// -7000 when the thread-local counter's slot cannot be had, -7004 without memory.
Status LockCreate(Lock** lock);
void LockDispose(Lock* lock);  // none is allowed
// -7001 for anything that is not a live lock; leaving one that the thread does not hold gives -7002.
Status LockEnter(Lock* lock);
Status LockLeave(Lock* lock);
// How many per-object locks the calling thread holds (an entered lock counts each time).
uint32_t LockHeldCount();

// Holds a per-object lock for the rest of a scope.
class LockScope {
 public:
  explicit LockScope(Lock* lock) : lock_(lock) { LockEnter(lock_); }
  ~LockScope() { LockLeave(lock_); }
  LockScope(const LockScope&) = delete;
  LockScope& operator=(const LockScope&) = delete;

 private:
  Lock* lock_;
};
