#include "files/path_open.h"

#include "files/archive.h"
#include "files/archive_names.h"
#include "files/disk_probe.h"
#include "files/disk_stream.h"
#include "files/path_parts.h"
#include "runtime/text.h"

namespace {

// The stream the location starts from: the mounted archive, or the disk file that holds the archive
// components. None for a disk folder.
Status OpenOutermost(PathSpec* folder, bool forWriting, Stream** outermost) {
  *outermost = nullptr;
  if (folder->mounted) {
    StreamRetain(folder->mounted);
    *outermost = folder->mounted;
  } else {
    char full[kDiskPathSize];
    PathDiskText(folder, full);
    DiskItemKind kind{};
    Status status = DiskItemAt(full, &kind);
    if (status != kOk) return status;
    if (kind == DiskItemKind::Folder) return PathComponentCount(folder) == 0 ? kOk : kErrPathNotFound;
    status = DiskStreamOpen(full, forWriting, outermost);
    if (status != kOk) return status;
  }
  const Status status = ArchiveLoadDirectory(*outermost);
  if (status != kOk) {
    StreamClose(*outermost);
    *outermost = nullptr;
  }
  return status;
}

}  // namespace

Status PathOpenFolder(PathSpec* folder, bool forWriting, Stream** archive) {
  *archive = nullptr;
  if (folder->archive && (folder->archive->writable || !forWriting)) {
    StreamRetain(folder->archive);
    *archive = folder->archive;
    return kOk;
  }
  Stream* current = nullptr;
  Status status = OpenOutermost(folder, forWriting, &current);
  if (status != kOk || !current) return status;
  char name[kEscapedNameSize];
  for (uint32_t i = 0, count = PathComponentCount(folder); i < count; ++i) {
    PathComponentAt(folder, i, name);
    Stream* nested = nullptr;
    status = ArchiveOpenEntry(current, name, forWriting, true, &nested);
    StreamClose(current);  // the nested stream holds its own reference on it
    if (status == kErrFileNotFound || status == kErrDamagedArchive) return kErrPathNotFound;
    if (status != kOk) return status;
    current = nested;
  }
  PathForgetArchive(folder);
  folder->archive = current;
  StreamRetain(current);
  *archive = current;
  return kOk;
}
