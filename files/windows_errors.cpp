#include "files/windows_errors.h"

Status FileErrorFromWindows(DWORD error) {
  switch (error) {
    case ERROR_SUCCESS:
      return kOk;
    case ERROR_FILE_NOT_FOUND:
      return kErrFileNotFound;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_BAD_PATHNAME:
    case ERROR_DIRECTORY:
      return kErrPathNotFound;
    case ERROR_TOO_MANY_OPEN_FILES:
      return kErrTooManyOpen;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
    case ERROR_INVALID_ACCESS:
    case ERROR_PRIVILEGE_NOT_HELD:
      return kErrNotPermitted;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
      return kErrMemory;
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_UNIT:
    case ERROR_NOT_READY:
    case ERROR_BAD_NETPATH:
    case ERROR_DEV_NOT_EXIST:
    case ERROR_BAD_NET_NAME:
    case ERROR_UNRECOGNIZED_VOLUME:
      return kErrNoVolume;
    case ERROR_CURRENT_DIRECTORY:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_DIR_NOT_EMPTY:
    case ERROR_BUSY:
      return kErrBusy;
    case ERROR_HANDLE_EOF:
    case ERROR_SEEK:
    case ERROR_NEGATIVE_SEEK:
      return kErrPastEnd;
    case ERROR_HANDLE_DISK_FULL:
    case ERROR_DISK_FULL:
      return kErrDiskFull;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
      return kErrExists;
    case ERROR_INVALID_NAME:
    case ERROR_FILENAME_EXCED_RANGE:
      return kErrBadName;
    default:
      return kErrFileSystem;
  }
}

Status FileLastError() {
  const DWORD error = GetLastError();
  SetLastError(ERROR_SUCCESS);
  // A call that failed without saying why still failed.
  return error == ERROR_SUCCESS ? kErrFileSystem : FileErrorFromWindows(error);
}
