// The program's entry point.
#include <windows.h>

#include "app/order_program.h"

namespace {

Status OrderMain() {
  return OrderRun({GetModuleHandleA(nullptr), [] { MessageBeep(0); }});
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return OrderMain(); }
