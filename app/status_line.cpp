#include "app/status_line.h"

#include <windows.h>

#include "runtime/format.h"

void WriteStatusLine(const char* program, Status status) {
  HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
  if (output == nullptr || output == INVALID_HANDLE_VALUE) return;
  char line[128];
  FormatText(line, sizeof line, "%s status %ld\r\n", program, status);
  DWORD written = 0;
  WriteFile(output, line, DWORD(lstrlenA(line)), &written, nullptr);
}
