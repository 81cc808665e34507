// Worker threads: each sleeps until its armed wait runs out, then calls its routine; waits are armed
// from the routine itself (to run again later) or from any other thread.
#pragma once

#include <atomic>
#include <cstdint>

#include "runtime/status.h"

struct WorkerThread;
using WorkerRoutine = void (*)(WorkerThread* worker, void* context);

// "No wait": as the argument of WorkerSetWait it only queries.
constexpr uint32_t kWaitNone = 0xFFFFFFFF;

// Owned by the caller, which keeps it in place while the worker lives. The fields after the first
// three belong to the worker functions.
struct WorkerThread {
  WorkerRoutine routine;
  void* context;
  std::atomic<bool> running;  // the routine is being called

  void* mutex;                // guards the wait fields; created owned by the starter
  void* event;                // auto-reset: a new wait or the stop request
  void* thread;
  uint32_t threadId;
  uint32_t armedWait;         // milliseconds, from armedAt (timeGetTime)
  uint32_t armedAt;
  uint32_t pendingWait;       // kWaitNone when there is none
  bool armed;
  std::atomic<bool> stop;
};

// Starts a worker with nothing armed: it sleeps until a wait is set. -7004 when the worker list
// cannot grow, -7000 when a system object cannot be made; the record is then left cleared.
Status WorkerStart(WorkerThread* worker, void* context, WorkerRoutine routine);

// Returns what is left of the worker's wait: the pending new wait if there is one, else the rest of the
// armed wait (at least 1), else 0. Unless the new wait is kWaitNone it becomes the next wait, counted
// from when the worker takes it up (after its routine returns, when called from the routine).
uint32_t WorkerSetWait(WorkerThread* worker, uint32_t milliseconds);

// Stops the thread, waits for it to end and releases its objects. A worker cannot stop itself
// (-7002: its thread would wait for itself).
Status WorkerStop(WorkerThread* worker);

// Stops every worker that is still running; for the platform's shutdown.
void WorkerStopAll();

// As the Windows calls; -7000 when they fail.
Status ThreadSuspend(WorkerThread* worker);
Status ThreadResume(WorkerThread* worker);
