#include "files/known_folders.h"

#include <windows.h>
#include <shlobj.h>

#include <cstring>

#include "files/path_parts.h"
#include "runtime/shell_library.h"
#include "runtime/text.h"

namespace {

constexpr size_t kLongestFolder = 520;

bool SystemFolder(char* folder) {
  const UINT length = GetSystemDirectoryA(folder, MAX_PATH);
  return length > 0 && length < MAX_PATH;
}

bool ShellFolder(int csidl, char* folder) {
  if (SUCCEEDED(ShellFolderPath(nullptr, csidl | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, folder))) {
    return true;
  }
  GetLastError();
  return false;
}

// The unresolved folder of a code; false when not even the fallback answers.
bool FolderOf(int32_t code, char* folder) {
  switch (code) {
    case kLocationCommonAppData:
      return ShellFolder(CSIDL_COMMON_APPDATA, folder) || SystemFolder(folder);
    case kLocationDocuments: {
      if (ShellFolder(CSIDL_PERSONAL, folder)) return true;
      const DWORD length = GetEnvironmentVariableA("HOMEPATH", folder, MAX_PATH);
      return (length > 0 && length < MAX_PATH) || SystemFolder(folder);
    }
    case kLocationTemporary: {
      if (ShellFolder(CSIDL_INTERNET_CACHE, folder)) return true;
      const DWORD length = GetTempPathA(MAX_PATH, folder);
      return length > 0 && length < MAX_PATH;
    }
    case kLocationAppData:
    case kLocationUserAppData:
      return ShellFolder(CSIDL_APPDATA, folder) || SystemFolder(folder);
    case kLocationProgramFolder: {
      const DWORD length = GetModuleFileNameA(nullptr, folder, MAX_PATH);
      if (length == 0 || length >= MAX_PATH) return false;
      char* cut = std::strrchr(folder, '\\');
      if (cut) *cut = 0;
      return cut != nullptr;
    }
    default:
      return false;
  }
}

}  // namespace

Status SpecialFolderResolve(int32_t code, PathSpec* path) {
  if (code < kLocationCommonAppData || code > kLocationProgramFolder) return kErrArgument;
  char folder[MAX_PATH + 1] = {};
  if (!FolderOf(code, folder)) {
    GetLastError();
    return kErrFileSystem;
  }
  char full[kLongestFolder + 2];
  const DWORD length = GetFullPathNameA(folder, sizeof full, full, nullptr);
  if (length == 0 || length > kLongestFolder) {
    GetLastError();
    return kErrFileSystem;
  }
  return PathSetDisk(path, full);
}
