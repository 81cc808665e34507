// What the path walk asks of the system's disks, kept behind one seam so that the walk itself is pure.
// The Windows build asks the system (disk_probe_win.cpp, disk_volumes.cpp, disk_stream.cpp,
// known_folders.cpp, file_layer.cpp); the native build has no disks (disk_probe_posix.cpp), so there
// every location lies on a mounted volume. The other questions are declared where they belong:
// DiskStreamOpen and ArchiveIsValidFile in disk_stream.h, SpecialFolderResolve in known_folders.h,
// VolumeFindByNumber and FileLayerRoot in paths.h.
#pragma once

#include <cstdint>

#include "runtime/status.h"

enum class DiskItemKind : uint8_t { Folder, File };

// What lies at a full disk path; the mapped error (-7203, -7202, ...) when nothing does.
Status DiskItemAt(const char* path, DiskItemKind* kind);
// The drive that a volume name (upper case) names: a single letter whose drive answers, else the
// first drive whose label is the name. -7202 when none does.
Status DiskFindDrive(const char* name, char* letter);
