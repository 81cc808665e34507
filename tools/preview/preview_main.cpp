// SkywardPreview: the order program's pages as the buyer sees them, for the sellers who customise them.
//
//   SkywardPreview [FOLDER | PAGEFILE]
//
// Without an argument the open dialog asks for a page file (or any file of a page folder).
#include <windows.h>

#include <cstdlib>

#include "runtime/format.h"
#include "tools/preview/previewer.h"

namespace {

// As the order program does: the whole status on standard output, when there is one.
void ReportStatus(Status status) {
  HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
  if (output == nullptr || output == INVALID_HANDLE_VALUE) return;
  char line[64];
  FormatText(line, sizeof line, "SkywardPreview status %ld\r\n", status);
  DWORD written = 0;
  WriteFile(output, line, DWORD(lstrlenA(line)), &written, nullptr);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  Status status;
  {
    Previewer previewer;
    status = previewer.Start(__argc > 1 ? __argv[1] : nullptr);
    if (status == kOk) status = previewer.Run();
  }
  ReportStatus(status);
  // Cancelling the open dialog is no failure.
  if (status == kErrCancelled) return 0;
  if (status != kOk) MessageBeep(0);
  return status;
}
