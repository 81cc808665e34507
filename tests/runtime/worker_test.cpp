#include "runtime/worker.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <mmsystem.h>

#include <atomic>

#include "tests/runtime/process_counts.h"

namespace {

// Waits up to two seconds for a condition that another thread brings about.
template <class Condition>
bool Eventually(Condition condition) {
  for (int i = 0; i < 200 && !condition(); ++i) Sleep(10);
  return condition();
}

struct Runs {
  std::atomic<int> count{0};
  std::atomic<int> rearmUntil{0};  // the routine arms 10 ms again until it has run this often
  std::atomic<bool> sawRunning{false};
  std::atomic<int> priority{0};
  std::atomic<uint32_t> ownThreadAnswer{99};
  std::atomic<Status> selfStop{kOk};
  std::atomic<DWORD> lastRun{0};
};

void CountRun(WorkerThread* worker, void* context) {
  auto* runs = static_cast<Runs*>(context);
  runs->lastRun = timeGetTime();
  runs->sawRunning = worker->running.load();
  runs->priority = GetThreadPriority(GetCurrentThread());
  runs->selfStop = WorkerStop(worker);
  if (++runs->count < runs->rearmUntil) runs->ownThreadAnswer = WorkerSetWait(worker, 10);
}

TEST(Worker, RunsItsRoutineOnItsOwnThreadWhenTheArmedWaitRunsOut) {
  const ProcessCounts before = ProcessCounts::Before();
  WorkerThread worker;
  Runs runs;
  ASSERT_EQ(WorkerStart(&worker, &runs, CountRun), kOk);
  EXPECT_EQ(ProcessCounts::Now().threads, before.threads + 1);
  Sleep(50);
  EXPECT_EQ(WorkerSetWait(&worker, kWaitNone), 0u);  // idle: nothing is armed, nothing runs
  EXPECT_EQ(runs.count, 0);

  runs.rearmUntil = 3;
  EXPECT_EQ(WorkerSetWait(&worker, 20), 0u);
  EXPECT_TRUE(Eventually([&] { return runs.count == 3; }));
  Sleep(100);
  EXPECT_EQ(runs.count, 3);  // nothing re-armed it after the third run
  EXPECT_EQ(runs.ownThreadAnswer, 0u);  // from the routine nothing is left: the wait that ran is over
  EXPECT_TRUE(runs.sawRunning);
  EXPECT_FALSE(worker.running);
  EXPECT_EQ(runs.priority, THREAD_PRIORITY_TIME_CRITICAL);
  EXPECT_EQ(runs.selfStop, kErrState);  // a worker cannot wait for itself to end

  // Another thread learns the time left and can shorten it.
  const DWORD armed = timeGetTime();
  EXPECT_EQ(WorkerSetWait(&worker, 10000), 0u);
  Sleep(100);
  const uint32_t left = WorkerSetWait(&worker, kWaitNone);  // a query changes nothing
  EXPECT_GT(left, 0u);
  EXPECT_LE(left, 10000u - 90);
  EXPECT_LE(WorkerSetWait(&worker, 30), left);  // the new wait replaces the old one
  EXPECT_LE(WorkerSetWait(&worker, kWaitNone), 30u);
  EXPECT_TRUE(Eventually([&] { return runs.count == 4; }));
  EXPECT_LT(runs.lastRun - armed, 5000u);
  EXPECT_EQ(WorkerStop(&worker), kOk);
  EXPECT_EQ(ProcessCounts::Now(), before);  // thread, mutex and event are gone
}

TEST(WorkerLifetime, StopEndsAWorkerAtOnceAndStopAllEndsEveryOne) {
  const ProcessCounts before = ProcessCounts::Before();
  WorkerThread workers[20];  // more than the list of workers starts with
  Runs runs;
  for (WorkerThread& worker : workers) ASSERT_EQ(WorkerStart(&worker, &runs, CountRun), kOk);
  EXPECT_EQ(ProcessCounts::Now().threads, before.threads + 20);
  WorkerSetWait(&workers[7], 60000);
  const DWORD start = timeGetTime();
  EXPECT_EQ(WorkerStop(&workers[7]), kOk);
  EXPECT_LT(timeGetTime() - start, 1000u);
  EXPECT_EQ(WorkerStop(&workers[7]), kErrArgument);  // already stopped
  EXPECT_EQ(WorkerSetWait(&workers[7], 10), 0u);
  WorkerStopAll();
  EXPECT_EQ(ProcessCounts::Now(), before);
  EXPECT_EQ(runs.count, 0);
}

}  // namespace
