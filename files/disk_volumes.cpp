// The drives of the system: by label or letter, and by number.
#include <windows.h>

#include "files/disk_probe.h"
#include "files/path_parts.h"
#include "files/windows_errors.h"
#include "runtime/text.h"

namespace {

struct Drive {
  char root[4];  // "C:\"
  UINT type;
};

Drive DriveOf(char letter) {
  Drive drive = {{letter, ':', '\\', 0}, DRIVE_NO_ROOT_DIR};
  if (GetLogicalDrives() & (1u << (letter - 'A'))) drive.type = GetDriveTypeA(drive.root);
  return drive;
}

// A drive answers when it has a root folder and tells its volume information; label gets the upper-cased
// volume label (MAX_PATH + 1 bytes).
bool Answers(const Drive& drive, char* label) {
  if (drive.type == DRIVE_NO_ROOT_DIR) return false;
  char raw[MAX_PATH + 1] = {};
  if (!GetVolumeInformationA(drive.root, raw, sizeof raw, nullptr, nullptr, nullptr, nullptr, 0)) {
    GetLastError();
    return false;
  }
  TextToUpperCopy(label, raw, MAX_PATH + 1);
  return true;
}

bool InPass(UINT type, int pass) {
  const bool first = type == DRIVE_FIXED || type == DRIVE_RAMDISK;
  const bool second = type == DRIVE_REMOTE || type == DRIVE_CDROM;
  return pass == 0 ? first : pass == 1 ? second : !first && !second;
}

}  // namespace

Status DiskFindDrive(const char* wanted, char* letter) {
  ErrorModeScope quiet(SEM_FAILCRITICALERRORS);
  char label[MAX_PATH + 1];
  if (wanted[0] >= 'A' && wanted[0] <= 'Z' && !wanted[1] && Answers(DriveOf(wanted[0]), label)) {
    *letter = wanted[0];
    return kOk;
  }
  // Fixed disks first, then network and CD drives, then the rest: the likeliest owners of a label
  // are asked before a slow or absent medium.
  for (int pass = 0; pass < 3; ++pass) {
    for (char candidate = 'A'; candidate <= 'Z'; ++candidate) {
      const Drive drive = DriveOf(candidate);
      if (drive.type == DRIVE_NO_ROOT_DIR || !InPass(drive.type, pass)) continue;
      if (Answers(drive, label) && TextCompare(label, wanted) == 0) {
        *letter = candidate;
        return kOk;
      }
    }
  }
  return kErrPathNotFound;
}

Status VolumeFindByNumber(PathSpec* path, uint32_t number) {
  static constexpr char kOrder[] = "CDEFGHIJKLMNOPQRSTUVWXYZAB";
  ErrorModeScope quiet(SEM_FAILCRITICALERRORS);
  char label[MAX_PATH + 1];
  uint32_t seen = 0;
  for (const char* letter = kOrder; *letter; ++letter) {
    const Drive drive = DriveOf(*letter);
    if (Answers(drive, label) && ++seen == number) return PathSetDisk(path, drive.root);
  }
  return kErrFileNotFound;
}
