// What a process holds of the system, counted so that tests can show that nothing is left behind.
#pragma once

#include <windows.h>
#include <tlhelp32.h>

#include <ostream>

struct ProcessCounts {
  int threads = 0;
  int handles = 0;
  int threadWindows = 0;  // windows of the calling thread

  bool operator==(const ProcessCounts&) const = default;

  // For a count to compare with later. The process's first extra thread makes the system open a few
  // handles (registry keys, an event) for good, in its own time: one is run and the count let settle.
  static ProcessCounts Before() {
    static const bool warmedUp = [] {
      HANDLE thread = CreateThread(nullptr, 0, [](void*) -> DWORD __stdcall { return 0; }, nullptr, 0, nullptr);
      WaitForSingleObject(thread, INFINITE);
      CloseHandle(thread);
      ProcessCounts last = Now();
      for (int i = 0; i < 20; ++i) {
        Sleep(50);
        const ProcessCounts next = Now();
        if (next == last) break;
        last = next;
      }
      return true;
    }();
    return warmedUp ? Now() : ProcessCounts();
  }

  static ProcessCounts Now() {
    ProcessCounts counts;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
      counts.threads += entry.th32OwnerProcessID == GetCurrentProcessId();
    CloseHandle(snapshot);
    // Wine answers GetProcessHandleCount with 0, so the handle values are tried one by one instead.
    DWORD flags;
    for (uintptr_t value = 4; value < 0x2000; value += 4)
      counts.handles += bool(GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags));
    EnumThreadWindows(GetCurrentThreadId(), [](HWND, LPARAM count) -> BOOL __stdcall {
      return ++*reinterpret_cast<int*>(count) > 0;
    }, reinterpret_cast<LPARAM>(&counts.threadWindows));
    return counts;
  }
};

inline void PrintTo(const ProcessCounts& counts, std::ostream* out) {
  *out << counts.threads << " threads, " << counts.handles << " handles, " << counts.threadWindows << " windows";
}
