#include "runtime/worker.h"

#include <windows.h>

#include "runtime/locks.h"
#include "runtime/multimedia_library.h"
#include "runtime/system_heap.h"

namespace {

constexpr SIZE_T kWorkerStackBytes = 64 * 1024;

// Every live worker, so that the platform can stop those still running when it shuts down. Grown by
// copying, under the global lock; released when it empties.
WorkerThread** gWorkers = nullptr;
size_t gWorkerCount = 0;
size_t gWorkerCapacity = 0;

bool AddToWorkerList(WorkerThread* worker) {
  GlobalLockScope guard;
  if (gWorkerCount == gWorkerCapacity) {
    const size_t capacity = gWorkerCapacity ? gWorkerCapacity * 2 : 8;
    auto** grown = static_cast<WorkerThread**>(SystemHeapAllocate(capacity * sizeof(WorkerThread*), false));
    if (!grown) return false;
    for (size_t i = 0; i < gWorkerCount; ++i) grown[i] = gWorkers[i];
    SystemHeapFree(gWorkers);
    gWorkers = grown;
    gWorkerCapacity = capacity;
  }
  gWorkers[gWorkerCount++] = worker;
  return true;
}

void RemoveFromWorkerList(WorkerThread* worker) {
  GlobalLockScope guard;
  for (size_t i = 0; i < gWorkerCount; ++i) {
    if (gWorkers[i] != worker) continue;
    gWorkers[i] = gWorkers[--gWorkerCount];
    break;
  }
  if (gWorkerCount == 0) {
    SystemHeapFree(gWorkers);
    gWorkers = nullptr;
    gWorkerCapacity = 0;
  }
}

void ClearRecord(WorkerThread* worker, void* context, WorkerRoutine routine) {
  worker->routine = routine;
  worker->context = context;
  worker->running = false;
  worker->mutex = nullptr;
  worker->event = nullptr;
  worker->thread = nullptr;
  worker->threadId = 0;
  worker->armedWait = 0;
  worker->armedAt = 0;
  worker->pendingWait = kWaitNone;
  worker->armed = false;
  worker->stop = false;
}

void CloseObjects(WorkerThread* worker) {
  for (void* handle : {worker->thread, worker->event, worker->mutex})
    if (handle) CloseHandle(handle);
}

// Only the worker's own thread writes the armed fields, so it reads them without the mutex.
DWORD TimeLeft(const WorkerThread* worker) {
  const DWORD elapsed = MultimediaTime() - worker->armedAt;
  return elapsed >= worker->armedWait ? 0 : worker->armedWait - elapsed;
}

DWORD WINAPI WorkerMain(void* parameter) {
  auto* worker = static_cast<WorkerThread*>(parameter);
  while (!worker->stop) {
    const DWORD woke = WaitForSingleObject(worker->event, worker->armed ? TimeLeft(worker) : INFINITE);
    WaitForSingleObject(worker->mutex, INFINITE);
    if (woke == WAIT_TIMEOUT && !worker->stop) {
      worker->armed = false;
      worker->running = true;
      worker->routine(worker, worker->context);
      worker->running = false;
    }
    // A wake-up without a new wait leaves the armed wait as it is: the event may still be set from a
    // wait that was already taken up after the routine ran.
    if (worker->pendingWait != kWaitNone) {
      worker->armedWait = worker->pendingWait;
      worker->armedAt = MultimediaTime();
      worker->armed = true;
      worker->pendingWait = kWaitNone;
    }
    ReleaseMutex(worker->mutex);
  }
  return 0;
}

}  // namespace

Status WorkerStart(WorkerThread* worker, void* context, WorkerRoutine routine) {
  if (!worker || !routine) return kErrArgument;
  ClearRecord(worker, context, routine);
  if (!AddToWorkerList(worker)) return kErrMemory;
  // The starter owns the mutex until the record is complete, so the new thread cannot act on it early.
  worker->mutex = CreateMutexA(nullptr, TRUE, nullptr);
  worker->event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  DWORD threadId = 0;
  if (worker->mutex && worker->event)
    worker->thread = CreateThread(nullptr, kWorkerStackBytes, WorkerMain, worker, CREATE_SUSPENDED, &threadId);
  if (!worker->thread) {
    if (worker->mutex) ReleaseMutex(worker->mutex);
    CloseObjects(worker);
    RemoveFromWorkerList(worker);
    ClearRecord(worker, context, routine);
    return kErrSystem;
  }
  worker->threadId = threadId;
  SetThreadPriority(worker->thread, THREAD_PRIORITY_TIME_CRITICAL);
  ResumeThread(worker->thread);
  ReleaseMutex(worker->mutex);
  return kOk;
}

uint32_t WorkerSetWait(WorkerThread* worker, uint32_t milliseconds) {
  if (!worker || !worker->mutex) return 0;
  WaitForSingleObject(worker->mutex, INFINITE);
  uint32_t left = 0;
  if (worker->pendingWait != kWaitNone) {
    left = worker->pendingWait;
  } else if (worker->armed) {
    left = TimeLeft(worker);
    if (left == 0) left = 1;  // due but not yet run: still waiting
  }
  if (milliseconds != kWaitNone) {
    worker->pendingWait = milliseconds;
    // The worker's own thread takes the new wait up when its routine returns; any other has to wake it.
    if (GetCurrentThreadId() != worker->threadId) SetEvent(worker->event);
  }
  ReleaseMutex(worker->mutex);
  return left;
}

Status WorkerStop(WorkerThread* worker) {
  if (!worker || !worker->thread) return kErrArgument;
  if (GetCurrentThreadId() == worker->threadId) return kErrState;
  WaitForSingleObject(worker->mutex, INFINITE);  // lets a running routine finish first
  worker->stop = true;
  SetEvent(worker->event);
  ReleaseMutex(worker->mutex);
  WaitForSingleObject(worker->thread, INFINITE);
  CloseObjects(worker);
  RemoveFromWorkerList(worker);
  ClearRecord(worker, worker->context, worker->routine);
  return kOk;
}

void WorkerStopAll() {
  const DWORD self = GetCurrentThreadId();
  for (;;) {
    WorkerThread* next = nullptr;
    {
      GlobalLockScope guard;
      for (size_t i = 0; i < gWorkerCount && !next; ++i)
        if (gWorkers[i]->threadId != self) next = gWorkers[i];
    }
    if (!next) return;
    // One that cannot be stopped (still being started elsewhere) must not hold up the shutdown.
    if (WorkerStop(next) != kOk) RemoveFromWorkerList(next);
  }
}

namespace {

// SuspendThread and ResumeThread answer the same way: the previous suspend count, or all ones.
Status CallOnThread(WorkerThread* worker, DWORD(WINAPI* call)(HANDLE)) {
  if (!worker || !worker->thread) return kErrArgument;
  if (call(worker->thread) == DWORD(-1)) return kErrSystem;
  return kOk;
}

}  // namespace

Status ThreadSuspend(WorkerThread* worker) { return CallOnThread(worker, SuspendThread); }

Status ThreadResume(WorkerThread* worker) { return CallOnThread(worker, ResumeThread); }
