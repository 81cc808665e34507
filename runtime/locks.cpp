#include "runtime/locks.h"

#include <windows.h>

#include <atomic>

#include "runtime/system_heap.h"

// The global lock is a slim reader/writer lock made recursive by an owner and a count. It needs no
// creation, so it cannot be used before it exists or after it is gone.
namespace {

SRWLOCK gGlobalLock = SRWLOCK_INIT;
std::atomic<DWORD> gGlobalOwner{0};
uint32_t gGlobalDepth = 0;  // touched by the owner only

}  // namespace

void GlobalLockEnter() {
  const DWORD self = GetCurrentThreadId();
  if (gGlobalOwner.load() == self) {
    ++gGlobalDepth;
    return;
  }
  AcquireSRWLockExclusive(&gGlobalLock);
  gGlobalOwner = self;
  gGlobalDepth = 1;
}

void GlobalLockLeave() {
  if (gGlobalOwner.load() != GetCurrentThreadId()) return;
  if (--gGlobalDepth > 0) return;
  gGlobalOwner = 0;
  ReleaseSRWLockExclusive(&gGlobalLock);
}

bool GlobalLockIsHeld() { return gGlobalOwner.load() == GetCurrentThreadId(); }

void GlobalLockRelease() {
  while (GlobalLockIsHeld()) GlobalLockLeave();
}

struct Lock {
  uint32_t tag;
  bool initialised;
  CRITICAL_SECTION section;
};

namespace {

// One thread-local counter for all per-object locks; its slot lives as long as the process.
INIT_ONCE gHeldSlotOnce = INIT_ONCE_STATIC_INIT;
DWORD gHeldSlot = TLS_OUT_OF_INDEXES;

BOOL CALLBACK AllocateHeldSlot(INIT_ONCE*, void*, void**) {
  gHeldSlot = TlsAlloc();
  return gHeldSlot != TLS_OUT_OF_INDEXES;
}

bool HaveHeldSlot() { return InitOnceExecuteOnce(&gHeldSlotOnce, AllocateHeldSlot, nullptr, nullptr); }

void AddToHeldCount(int delta) {
  const auto count = reinterpret_cast<uintptr_t>(TlsGetValue(gHeldSlot));
  TlsSetValue(gHeldSlot, reinterpret_cast<void*>(count + delta));
}

bool IsLive(const Lock* lock) { return lock && lock->tag == kLockTag && lock->initialised; }

}  // namespace

Status LockCreate(Lock** lock) {
  if (!lock) return kErrArgument;
  *lock = nullptr;
  if (!HaveHeldSlot()) return kErrSystem;
  auto* made = static_cast<Lock*>(SystemHeapAllocate(sizeof(Lock), true));
  if (!made) return kErrMemory;
  InitializeCriticalSection(&made->section);
  made->tag = kLockTag;
  made->initialised = true;
  *lock = made;
  return kOk;
}

void LockDispose(Lock* lock) {
  if (!IsLive(lock)) return;
  lock->initialised = false;
  lock->tag = 0;
  DeleteCriticalSection(&lock->section);
  SystemHeapFree(lock);
}

Status LockEnter(Lock* lock) {
  if (!IsLive(lock)) return kErrArgument;
  EnterCriticalSection(&lock->section);
  AddToHeldCount(1);
  return kOk;
}

Status LockLeave(Lock* lock) {
  if (!IsLive(lock)) return kErrArgument;
  // Leaving a critical section that another thread holds would break it for both.
  if (lock->section.OwningThread != reinterpret_cast<HANDLE>(uintptr_t(GetCurrentThreadId()))) return kErrState;
  AddToHeldCount(-1);
  LeaveCriticalSection(&lock->section);
  return kOk;
}

uint32_t LockHeldCount() {
  if (gHeldSlot == TLS_OUT_OF_INDEXES) return 0;
  return uint32_t(reinterpret_cast<uintptr_t>(TlsGetValue(gHeldSlot)));
}
