// The program's entry point.
#include <windows.h>

#include "app/order_program.h"
#include "app/status_line.h"

namespace {

Status OrderMain() {
  const Status status = OrderRun({GetModuleHandleA(nullptr), [] { MessageBeep(0); }});
  WriteStatusLine("SkywardOrder", status);
  return status;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return OrderMain(); }
