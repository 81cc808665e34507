#include "runtime/platform.h"

#include <atomic>
#include <bit>
#include <cstdlib>

#include "runtime/clock.h"
#include "runtime/encodings.h"
#include "runtime/locks.h"
#include "runtime/platform_window.h"
#include "runtime/worker.h"

namespace {

constexpr DWORD kConsoleCtrlCExit = 0xC000013A;

std::atomic<bool> gStarted{false};
std::atomic<bool> gStopping{false};
bool gExitHooked = false;

DWORD gHandlerSlot = TLS_OUT_OF_INDEXES;  // the calling thread's turns inside the platform's handlers
HWND gWindow = nullptr;
bool gConsoleHandlerInstalled = false;
bool gFilterInstalled = false;
LPTOP_LEVEL_EXCEPTION_FILTER gPreviousFilter = nullptr;
std::atomic<uint32_t> gRandomSeed{0};
WorkerThread gHousekeeper;

BOOL WINAPI ConsoleControlHandler(DWORD event) {
  switch (event) {
    case CTRL_C_EVENT:
    case CTRL_CLOSE_EVENT:
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT: {
      PlatformHandlerScope scope;
      std::exit(0);  // the normal exit, so that the runtime calls PlatformStop and the exit routines run
    }
    default:
      return FALSE;  // Ctrl+Break and the rest go to the next handler
  }
}

LONG WINAPI UnhandledExceptionHandler(EXCEPTION_POINTERS* exception) {
  PlatformHandlerScope scope;
  const LONG answer = gPreviousFilter ? gPreviousFilter(exception) : EXCEPTION_EXECUTE_HANDLER;
  const bool consoleBreakResumed = exception->ExceptionRecord->ExceptionCode == kConsoleCtrlCExit &&
                                   answer == EXCEPTION_CONTINUE_EXECUTION;
  if (!consoleBreakResumed) PlatformStop();
  return answer;
}

// Reading the clock is what keeps the correction fresh; the reading also re-arms this worker.
void Housekeeping(WorkerThread*, void*) { ClockMicroseconds(); }

void AtProcessExit() { PlatformStop(); }

// Undoes whatever of the start-up's system objects exists; used by a failed start and by the stop.
void ReleaseStartResources() {
  if (gFilterInstalled) {
    // Put back the previous filter, unless someone installed another one after ours.
    LPTOP_LEVEL_EXCEPTION_FILTER current = SetUnhandledExceptionFilter(gPreviousFilter);
    if (current != UnhandledExceptionHandler) SetUnhandledExceptionFilter(current);
    gFilterInstalled = false;
    gPreviousFilter = nullptr;
  }
  if (gConsoleHandlerInstalled) {
    SetConsoleCtrlHandler(ConsoleControlHandler, FALSE);
    gConsoleHandlerInstalled = false;
  }
  gWindow = PlatformWindowRelease(gWindow);
  if (gHandlerSlot != TLS_OUT_OF_INDEXES) {
    TlsFree(gHandlerSlot);
    gHandlerSlot = TLS_OUT_OF_INDEXES;
  }
}

}  // namespace

void PlatformHandlerEnter() {
  if (gHandlerSlot == TLS_OUT_OF_INDEXES) return;
  const auto turns = reinterpret_cast<uintptr_t>(TlsGetValue(gHandlerSlot));
  TlsSetValue(gHandlerSlot, reinterpret_cast<void*>(turns + 1));
}

void PlatformHandlerLeave() {
  if (gHandlerSlot == TLS_OUT_OF_INDEXES) return;
  const auto turns = reinterpret_cast<uintptr_t>(TlsGetValue(gHandlerSlot));
  if (turns > 0) TlsSetValue(gHandlerSlot, reinterpret_cast<void*>(turns - 1));  // not after a stop cleared it
}

bool PlatformInHandler() {
  return gHandlerSlot != TLS_OUT_OF_INDEXES && TlsGetValue(gHandlerSlot) != nullptr;
}

Status PlatformStart() {
  if (gStarted) return kOk;

  gHandlerSlot = TlsAlloc();
  if (gHandlerSlot == TLS_OUT_OF_INDEXES) return kErrMemory;

  if (!gWindow && PlatformWindowObtain(&gWindow) != kOk) {
    ReleaseStartResources();
    return kErrSystem;
  }
  if (!SetConsoleCtrlHandler(ConsoleControlHandler, TRUE)) {
    ReleaseStartResources();
    return kErrMemory;
  }
  gConsoleHandlerInstalled = true;
  gPreviousFilter = SetUnhandledExceptionFilter(UnhandledExceptionHandler);
  gFilterInstalled = true;

  gStarted = true;
  ClockSetStartBase();
  gRandomSeed = std::rotl(uint32_t(ClockMicroseconds()), int(GetTickCount() & 31));

  Status status = WorkerStart(&gHousekeeper, nullptr, Housekeeping);
  if (status != kOk) {
    PlatformStop();
    return status;
  }
  ClockAttachHousekeeper(&gHousekeeper);
  status = EncodingTablesInit();
  if (status != kOk) {
    PlatformStop();
    return status;
  }

  // Programs that end by returning from their entry point or by exit() still stop the platform.
  if (!gExitHooked) gExitHooked = std::atexit(AtProcessExit) == 0;
  return kOk;
}

void PlatformStop() {
  if (!gStarted || gStopping.exchange(true)) return;
  // Whatever this thread was in the middle of is over.
  if (gHandlerSlot != TLS_OUT_OF_INDEXES) TlsSetValue(gHandlerSlot, nullptr);
  GlobalLockRelease();

  PlatformRunExitRoutines();

  ClockDetachHousekeeper();
  WorkerStopAll();  // the housekeeper, and any worker that a layer left running
  ReleaseStartResources();
  gStarted = false;
  gStopping = false;
}

bool PlatformIsStarted() { return gStarted; }

HWND PlatformWindow() { return gStarted ? gWindow : nullptr; }

uint32_t RandomSetSeed(uint32_t seed) { return gRandomSeed.exchange(seed); }
