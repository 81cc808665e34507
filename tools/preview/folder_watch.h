// Watching a folder on disk, with its subfolders, for files that are written, made, deleted or renamed,
// through the system's change notification: a handle that is signalled when something changed, waited
// for together with the window messages. Windows only.
#pragma once

#include <windows.h>

#include "runtime/status.h"

class FolderWatch {
 public:
  FolderWatch() = default;
  ~FolderWatch() { Stop(); }
  FolderWatch(const FolderWatch&) = delete;
  FolderWatch& operator=(const FolderWatch&) = delete;

  // Watches the folder (a full disk path), instead of any other; the file layer's code when it cannot.
  Status Start(const char* folder);
  void Stop();
  // Signalled after a change; none while nothing is watched.
  HANDLE Handle() const { return handle_; }
  // After the handle was signalled: waits for the next change. False when the watch has ended (the
  // folder went away); it is then stopped.
  bool Rearm();

 private:
  HANDLE handle_ = nullptr;
};
