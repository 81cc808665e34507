// The program's entry point.
#include <windows.h>

#include "app/order_program.h"
#include "runtime/format.h"

namespace {

// A program started from a shell sees only the low byte of a negative exit code; the whole code goes
// to standard output too, when there is one.
void ReportStatus(Status status) {
  HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
  if (output == nullptr || output == INVALID_HANDLE_VALUE) return;
  char line[64];
  FormatText(line, sizeof line, "SkywardOrder status %ld\r\n", status);
  DWORD written = 0;
  WriteFile(output, line, DWORD(lstrlenA(line)), &written, nullptr);
}

Status OrderMain() {
  const Status status = OrderRun({GetModuleHandleA(nullptr), [] { MessageBeep(0); }});
  ReportStatus(status);
  return status;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return OrderMain(); }
