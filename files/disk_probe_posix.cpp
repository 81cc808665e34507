// The native build reaches no disks: its pure modules work on archives in memory, mounted as volumes.
// Every disk location is absent, so a path walk stays on the mounted volumes.
#include "files/disk_probe.h"
#include "files/disk_stream.h"
#include "files/known_folders.h"
#include "files/paths.h"

Status DiskItemAt(const char*, DiskItemKind*) { return kErrPathNotFound; }
Status DiskFindDrive(const char*, char*) { return kErrPathNotFound; }
Status DiskStreamOpen(const char*, bool, Stream** stream) {
  *stream = nullptr;
  return kErrFileNotFound;
}
bool ArchiveIsValidFile(const char*, uint32_t*) { return false; }
Status SpecialFolderResolve(int32_t, PathSpec*) { return kErrFileSystem; }
Status VolumeFindByNumber(PathSpec*, uint32_t) { return kErrFileNotFound; }
PathSpec* FileLayerRoot() { return nullptr; }
