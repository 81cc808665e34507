#include <windows.h>

#include "files/disk_probe.h"
#include "files/windows_errors.h"

Status DiskAttributes(const char* path, DWORD* attributes) {
  ErrorModeScope quiet(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  *attributes = GetFileAttributesA(path);
  return *attributes == INVALID_FILE_ATTRIBUTES ? FileLastError() : kOk;
}

Status DiskItemAt(const char* path, DiskItemKind* kind) {
  DWORD attributes = 0;
  const Status status = DiskAttributes(path, &attributes);
  if (status == kOk) *kind = attributes & FILE_ATTRIBUTE_DIRECTORY ? DiskItemKind::Folder : DiskItemKind::File;
  return status;
}
