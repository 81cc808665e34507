// The program's entry point. The start-up sequence grows here layer by layer; today the program starts
// and ends cleanly with status 0.
#include <windows.h>

#include "runtime/status.h"

namespace {

Status OrderMain() { return kOk; }

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return OrderMain(); }
