// Resolving locations: codes, path records and path texts, walked component by component.
#include "files/archive.h"
#include "files/archive_names.h"
#include "files/disk_probe.h"
#include "files/disk_stream.h"
#include "files/path_open.h"
#include "files/path_parts.h"
#include "files/known_folders.h"
#include "runtime/text.h"

namespace {

// Copies the component that starts at *text into escaped and moves past it and its "/". -7201 when it
// is longer than a name.
Status NextComponent(const char** text, char* escaped) {
  const char* end = *text;
  while (*end && *end != '/') ++end;
  const size_t length = size_t(end - *text);
  if (length >= kEscapedNameSize) return kErrBadName;
  BytesCopy(escaped, *text, length);
  escaped[length] = 0;
  *text = *end ? end + 1 : end;
  return kOk;
}

// Adds one component: to the disk path while the location is a disk folder, as an archive component
// once it is an archive file or inside an archive. The location reached so far is tested first.
Status AddComponent(PathSpec* path, const char* escaped) {
  char name[kEscapedNameSize];
  Status status = ArchiveNameDecode(escaped, name);
  if (status != kOk) return status;
  if (PathIsInArchive(path)) return PathAppendComponent(path, escaped);
  char full[kDiskPathSize];
  PathDiskText(path, full);
  DiskItemKind kind{};
  status = DiskItemAt(full, &kind);
  if (status != kOk) return status;
  if (kind == DiskItemKind::Folder) return PathAppendDiskName(path, name);
  if (!ArchiveIsValidFile(full, nullptr)) return kErrDamagedArchive;
  return PathAppendComponent(path, escaped);
}

Status Walk(PathSpec* base, const char* text, PathSpec* path) {
  char escaped[kEscapedNameSize];
  Status status = kOk;
  if (*text == '/') {
    ++text;
    status = NextComponent(&text, escaped);
    char volume[kEscapedNameSize];
    if (status == kOk) status = ArchiveNameDecode(escaped, volume);
    if (status == kOk) status = volume[0] ? VolumeFindByName(path, volume) : kErrBadName;
  } else {
    status = PathCopyInto(path, base);
  }
  while (status == kOk && *text) {
    status = NextComponent(&text, escaped);
    if (status == kOk && escaped[0]) status = AddComponent(path, escaped);
  }
  return status;
}

Status Start(PathSpec* base, const Location& location, PathSpec* path) {
  switch (location.kind()) {
    case Location::Kind::Base:
      return PathCopyInto(path, base);
    case Location::Kind::Path:
      return PathCopyInto(path, location.path());
    case Location::Kind::Text:
      return Walk(base, location.text(), path);
    case Location::Kind::Code:
      break;
  }
  const int code = location.code();
  if (code == kLocationParent) {
    const Status status = PathCopyInto(path, base);
    if (status != kOk) return status;
    return PathDropLast(path, nullptr) ? kOk : kErrPathNotFound;
  }
  if (code >= kLocationCommonAppData && code <= kLocationProgramFolder) return SpecialFolderResolve(code, path);
  if (code >= 1 && code <= kLocationLastVolume) return VolumeFindByNumber(path, uint32_t(code));
  return kErrArgument;
}

// The last component exists: on disk, or as an entry of the archive that holds it.
Status TestExists(const PathSpec* path) {
  if (!PathIsInArchive(path)) {
    char full[kDiskPathSize];
    PathDiskText(path, full);
    DiskItemKind kind{};
    return DiskItemAt(full, &kind);
  }
  PathSpec* parent = PathNew();
  if (!parent) return kErrMemory;
  char escaped[kEscapedNameSize];
  char name[kEscapedNameSize];
  Stream* archive = nullptr;
  Status status = PathCopyInto(parent, path);
  if (status == kOk && PathDropLast(parent, escaped)) {
    status = PathOpenFolder(parent, false, &archive);
    if (status == kOk) status = ArchiveNameDecode(escaped, name);
    if (status == kOk && !ArchiveFindEntry(archive, name, nullptr, nullptr)) status = kErrFileNotFound;
  }
  if (archive) StreamClose(archive);
  PathDispose(parent);
  return status;
}

}  // namespace

Status VolumeFindByName(PathSpec* path, const char* name) {
  char wanted[kEscapedNameSize];
  TextToUpperCopy(wanted, name, sizeof wanted);
  if (!wanted[0]) return kErrPathNotFound;
  for (Volume* volume = VolumeFirstMounted(); volume; volume = volume->next) {
    char mounted[sizeof volume->name];
    if (TextCompare(TextToUpperCopy(mounted, volume->name, sizeof mounted), wanted) == 0) {
      PathSetMounted(path, volume->stream);
      return kOk;
    }
  }
  char letter = 0;
  const Status status = DiskFindDrive(wanted, &letter);
  if (status != kOk) return status;
  const char root[] = {letter, ':', '\\', 0};
  return PathSetDisk(path, root);
}

Status PathResolve(PathSpec* base, Location location, PathSpec** resolved, bool allowMissingLast) {
  if (resolved) *resolved = nullptr;
  if (!base && !resolved) return kErrArgument;  // the root itself is not changed
  if (!base) base = FileLayerRoot();
  if (!base) return kErrState;
  PathSpec* path = PathNew();
  if (!path) return kErrMemory;
  Status status = Start(base, location, path);
  if (status == kOk && !allowMissingLast) status = TestExists(path);
  if (status != kOk) {
    PathDispose(path);
    return status;
  }
  if (resolved) {
    *resolved = path;
  } else {
    PathMoveInto(base, path);
  }
  return kOk;
}
