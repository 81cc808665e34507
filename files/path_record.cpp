// Path records: their list, their parts, their text, and the record of a mounted volume.
#include <cstring>

#include "files/archive_mount.h"
#include "files/archive_names.h"
#include "files/path_parts.h"
#include "runtime/text.h"

namespace {

PathSpec* gLivePaths = nullptr;

void Unlink(PathSpec* path) {
  for (PathSpec** link = &gLivePaths; *link; link = &(*link)->next) {
    if (*link == path) {
      *link = path->next;
      return;
    }
  }
}

char Upper(char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; }

// Appends to text at *used, keeping the terminating NUL within size; false when it does not fit.
bool Put(char* text, size_t size, size_t* used, const char* part) {
  const size_t length = TextLength(part);
  if (*used + length + 1 > size) return false;
  BytesCopy(text + *used, part, length + 1);
  *used += length;
  return true;
}

}  // namespace

PathSpec* PathFirstLive() { return gLivePaths; }

PathSpec* PathNew() {
  auto* path = static_cast<PathSpec*>(BlockNewClear(sizeof(PathSpec)));
  if (!path) return nullptr;
  path->next = gLivePaths;
  gLivePaths = path;
  return path;
}

void PathForgetArchive(PathSpec* path) {
  if (path->archive) StreamClose(path->archive);
  path->archive = nullptr;
}

void PathClearParts(PathSpec* path) {
  PathForgetArchive(path);
  if (path->mounted) StreamClose(path->mounted);
  path->mounted = nullptr;
  HandleDispose(path->components);
  path->components = nullptr;
  path->drive = 0;
  BytesZero(path->folder, sizeof path->folder);
}

Status PathCopyInto(PathSpec* target, const PathSpec* source) {
  if (target == source) return kOk;
  MemoryHandle components = source->components ? HandleDuplicate(source->components) : nullptr;
  if (source->components && !components) return kErrMemory;
  PathClearParts(target);
  target->mounted = source->mounted;
  if (target->mounted) StreamRetain(target->mounted);
  target->drive = source->drive;
  BytesCopy(target->folder, source->folder, sizeof target->folder);
  target->components = components;
  return kOk;
}

void PathMoveInto(PathSpec* target, PathSpec* source) {
  PathClearParts(target);
  target->mounted = source->mounted;
  target->archive = source->archive;
  target->drive = source->drive;
  BytesCopy(target->folder, source->folder, sizeof target->folder);
  target->components = source->components;
  source->mounted = source->archive = nullptr;
  source->components = nullptr;
  PathDispose(source);
}

void PathDispose(PathSpec* path) {
  if (!path) return;
  Unlink(path);
  PathClearParts(path);
  if (path->ownedVolume) VolumeUnmount(path->ownedVolume);
  BlockDispose(path);
}

bool PathIsInArchive(const PathSpec* path) { return path->mounted || PathComponentCount(path) > 0; }

uint32_t PathComponentCount(const PathSpec* path) {
  if (!path->components) return 0;
  const uint8_t* bytes = HandleData(path->components);
  const size_t size = HandleGetSize(path->components);
  uint32_t count = 0;
  for (size_t at = 0; at < size; at += 1 + bytes[at]) ++count;
  return count;
}

void PathComponentAt(const PathSpec* path, uint32_t index, char* name) {
  name[0] = 0;
  if (!path->components) return;
  const uint8_t* bytes = HandleData(path->components);
  const size_t size = HandleGetSize(path->components);
  size_t at = 0;
  for (uint32_t i = 0; at < size && i < index; ++i) at += 1 + bytes[at];
  if (at < size) ShortToText(name, bytes + at);
}

Status PathAppendComponent(PathSpec* path, const char* escaped) {
  uint8_t component[kShortTextSize];
  TextToShort(component, escaped);
  if (component[0] == 0 || TextLength(escaped) > 255) return kErrBadName;
  PathForgetArchive(path);
  if (!path->components) {
    path->components = HandleNewFromData(component, 1 + component[0]);
    return path->components ? kOk : kErrMemory;
  }
  return HandleAppendData(path->components, component, 1 + component[0]);
}

Status PathAppendDiskName(PathSpec* path, const char* name) {
  if (!name[0] || std::strchr(name, '/')) return kErrBadName;
  const size_t used = TextLength(path->folder);
  const bool atRoot = used > 0 && path->folder[used - 1] == '\\';
  if (used + (atRoot ? 0 : 1) + TextLength(name) >= kDiskFolderSize) return kErrBadName;
  PathForgetArchive(path);
  if (!atRoot) TextAppend(path->folder, "\\");
  TextAppend(path->folder, name);
  return kOk;
}

bool PathDropLast(PathSpec* path, char* name) {
  const uint32_t count = PathComponentCount(path);
  if (count > 0) {
    char last[kEscapedNameSize];
    PathComponentAt(path, count - 1, last);
    if (name) TextCopy(name, last);
    PathForgetArchive(path);
    const size_t size = HandleGetSize(path->components) - 1 - TextLength(last);
    if (size == 0) {
      HandleDispose(path->components);
      path->components = nullptr;
    } else {
      HandleSetSize(path->components, size);  // shrinking cannot fail
    }
    return true;
  }
  if (path->mounted) return false;
  char* cut = std::strrchr(path->folder, '\\');
  if (!cut || !cut[1]) return false;  // the root of a drive: "\"
  if (!path->drive) {
    // The root of a network share, "\\server\share", stays too.
    size_t separators = 0;
    for (const char* p = path->folder; p < cut; ++p) separators += *p == '\\';
    if (separators < 3) return false;
  }
  if (name) ArchiveNameEncode(cut + 1, name);
  PathForgetArchive(path);
  cut[cut == path->folder ? 1 : 0] = 0;  // a drive's first folder leaves its root "\"
  return true;
}

Status PathSetDisk(PathSpec* path, const char* fullPath) {
  const size_t length = TextLength(fullPath);
  const bool lettered = ((fullPath[0] >= 'A' && fullPath[0] <= 'Z') || (fullPath[0] >= 'a' && fullPath[0] <= 'z')) &&
                        fullPath[1] == ':' && fullPath[2] == '\\';
  const bool network = fullPath[0] == '\\' && fullPath[1] == '\\';
  if (!lettered && !network) return kErrFileSystem;
  const char* folder = lettered ? fullPath + 2 : fullPath;
  size_t folderLength = TextLength(folder);
  if (length > 3 && folder[folderLength - 1] == '\\') --folderLength;
  if (folderLength >= kDiskFolderSize) return kErrFileSystem;
  PathClearParts(path);
  path->drive = lettered ? Upper(fullPath[0]) : 0;
  BytesCopy(path->folder, folder, folderLength);
  path->folder[folderLength] = 0;
  return kOk;
}

Status PathNewDisk(const char* fullPath, PathSpec** path) {
  *path = PathNew();
  if (!*path) return kErrMemory;
  const Status status = PathSetDisk(*path, fullPath);
  if (status != kOk) {
    PathDispose(*path);
    *path = nullptr;
  }
  return status;
}

void PathSetMounted(PathSpec* path, Stream* mounted) {
  PathClearParts(path);
  StreamRetain(mounted);
  path->mounted = mounted;
}

void PathDiskText(const PathSpec* path, char* full) {
  full[0] = 0;
  if (path->drive) {
    const char letter[] = {path->drive, ':', 0};
    TextCopy(full, letter);
  }
  TextAppend(full, path->folder);
}

Status PathToText(const PathSpec* path, char* text, size_t size) {
  size_t used = 0;
  bool fits = size > 0;
  if (fits) text[0] = 0;
  char name[kEscapedNameSize];
  auto putComponent = [&](const char* escaped) { fits = fits && Put(text, size, &used, "/") && Put(text, size, &used, escaped); };

  if (path->mounted) {
    putComponent(kMountedVolumeName);
  } else {
    if (path->drive) {
      const char letter[] = {path->drive, 0};
      putComponent(letter);
    } else {
      fits = fits && Put(text, size, &used, "/");  // a network path begins with two
    }
    char folder[kDiskFolderSize];
    TextCopy(folder, path->folder);
    char* saved = nullptr;
    for (char* part = TextNextToken(folder, '\\', &saved); part; part = TextNextToken(nullptr, '\\', &saved)) {
      if (!part[0]) continue;
      ArchiveNameEncode(part, name);
      putComponent(name);
    }
  }
  for (uint32_t i = 0, count = PathComponentCount(path); i < count; ++i) {
    PathComponentAt(path, i, name);
    putComponent(name);
  }
  if (fits) return kOk;
  if (size > 0) text[0] = 0;
  return kErrArgument;
}

Status PathMountBlock(MemoryHandle handle, bool writable, PathSpec** volume) {
  *volume = nullptr;
  PathSpec* path = PathNew();
  if (!path) return kErrMemory;
  const Status status = ArchiveMountBlock(handle, writable, &path->ownedVolume);
  if (status != kOk) {
    PathDispose(path);
    return status;
  }
  PathSetMounted(path, path->ownedVolume->stream);
  *volume = path;
  return kOk;
}
