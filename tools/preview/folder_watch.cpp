#include "tools/preview/folder_watch.h"

#include "files/windows_errors.h"

namespace {

// A file saved in place changes its time or size; one saved by renaming a temporary file over it
// changes the folder's names.
constexpr DWORD kChanges = FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME |
                           FILE_NOTIFY_CHANGE_LAST_WRITE | FILE_NOTIFY_CHANGE_SIZE;

}  // namespace

Status FolderWatch::Start(const char* folder) {
  Stop();
  const HANDLE handle = FindFirstChangeNotificationA(folder, TRUE, kChanges);
  if (handle == INVALID_HANDLE_VALUE) return FileLastError();
  handle_ = handle;
  return kOk;
}

void FolderWatch::Stop() {
  if (handle_) FindCloseChangeNotification(handle_);
  handle_ = nullptr;
}

bool FolderWatch::Rearm() {
  if (handle_ && FindNextChangeNotification(handle_)) return true;
  Stop();
  return false;
}
