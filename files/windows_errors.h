// Windows error numbers in the file layer's own codes.
#pragma once

#include <windows.h>

#include "runtime/status.h"

// -7203 file not found, -7202 path not found, -7209 access denied, -7208 in use, -7211 disk full, and so
// on; anything without a meaning of its own is -7200.
Status FileErrorFromWindows(DWORD error);
// The same for the calling thread's last error, which is read once and cleared.
Status FileLastError();

// Windows attributes of a disk path, or the mapped error; critical-error dialogs kept off.
Status DiskAttributes(const char* path, DWORD* attributes);

// Keeps the system from showing its own error dialogs (no disk in a drive, a file that cannot be
// opened) for the scope; the previous mode is put back.
class ErrorModeScope {
 public:
  explicit ErrorModeScope(UINT added) : previous_(SetErrorMode(added)) { SetErrorMode(previous_ | added); }
  ~ErrorModeScope() { SetErrorMode(previous_); }
  ErrorModeScope(const ErrorModeScope&) = delete;
  ErrorModeScope& operator=(const ErrorModeScope&) = delete;

 private:
  UINT previous_;
};
