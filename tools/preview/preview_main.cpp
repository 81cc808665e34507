// SkywardPreview: the order program's pages as the buyer sees them, for the sellers who customise them.
//
//   SkywardPreview [FOLDER | PAGEFILE]
//
// Without an argument the open dialog asks for a page file (or any file of a page folder).
#include <windows.h>

#include <cstdlib>

#include "app/status_line.h"
#include "tools/preview/previewer.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  Status status;
  {
    Previewer previewer;
    status = previewer.Start(__argc > 1 ? __argv[1] : nullptr);
    if (status == kOk) status = previewer.Run();
  }
  WriteStatusLine("SkywardPreview", status);
  // Cancelling the open dialog is no failure.
  if (status == kErrCancelled) return 0;
  if (status != kOk) MessageBeep(0);
  return status;
}
