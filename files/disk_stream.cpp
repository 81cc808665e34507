// The file pointer follows the stream's position: every transfer starts by moving it there, and a
// failed transfer leaves it there again.
#include "files/disk_stream.h"

#include <windows.h>

#include "files/archive.h"
#include "files/windows_errors.h"
#include "runtime/text.h"

namespace {

HANDLE FileOf(Stream* stream) { return static_cast<HANDLE>(stream->file); }

bool MoveTo(HANDLE file, uint32_t position) {
  LARGE_INTEGER distance;
  distance.QuadPart = position;
  return SetFilePointerEx(file, distance, nullptr, FILE_BEGIN);
}

// Sets the end of file at length; on failure the pointer goes back to the position.
Status CutOrExtend(Stream* stream, uint32_t length) {
  HANDLE file = FileOf(stream);
  if (MoveTo(file, length) && SetEndOfFile(file)) return kOk;
  const Status status = FileLastError();
  MoveTo(file, stream->position);
  return status;
}

Status Read(Stream* stream, uint32_t count, void* buffer) {
  HANDLE file = FileOf(stream);
  if (!MoveTo(file, stream->position)) return FileLastError();
  DWORD done = 0;
  const BOOL read = ReadFile(file, buffer, count, &done, nullptr);
  if (read && done == count) {
    stream->position += count;
    return kOk;
  }
  const Status status = read ? kErrPastEnd : FileLastError();
  MoveTo(file, stream->position);
  return status;
}

Status Write(Stream* stream, uint32_t count, const void* buffer) {
  if (!stream->writable) return kErrNotPermitted;
  const uint64_t end = uint64_t(stream->position) + count;
  if (end > UINT32_MAX) return kErrDiskFull;  // lengths are 32-bit
  const uint32_t oldLength = stream->length;
  if (end > oldLength) {
    const Status status = CutOrExtend(stream, uint32_t(end));
    if (status != kOk) return status;
  }
  HANDLE file = FileOf(stream);
  DWORD done = 0;
  const BOOL written = MoveTo(file, stream->position) && WriteFile(file, buffer, count, &done, nullptr);
  if (written && done == count) {
    stream->position = uint32_t(end);
    if (end > oldLength) stream->length = uint32_t(end);
    return kOk;
  }
  // A short write is a full disk; either way the file gets its old length back.
  const Status status = written ? kErrDiskFull : FileLastError();
  CutOrExtend(stream, oldLength);
  GetLastError();
  MoveTo(file, stream->position);
  return status;
}

Status SetLength(Stream* stream, uint32_t length) {
  if (!stream->writable) return kErrNotPermitted;
  const Status status = CutOrExtend(stream, length);
  if (status != kOk) return status;
  stream->length = length;
  if (stream->position > length) stream->position = length;
  return kOk;
}

Status Flush(Stream* stream) { return FlushFileBuffers(FileOf(stream)) ? kOk : FileLastError(); }

void Release(Stream* stream) {
  if (FileOf(stream) != INVALID_HANDLE_VALUE) CloseHandle(FileOf(stream));
}

const StreamOperations kDiskOperations = {
    Read, Write, StreamGetLengthField, SetLength, StreamGetPositionField, StreamSetPositionField, Release, Flush,
};

HANDLE OpenHandle(const char* path, bool forWriting) {
  ErrorModeScope quiet(SEM_NOOPENFILEERRORBOX | SEM_FAILCRITICALERRORS);
  return CreateFileA(path, GENERIC_READ | (forWriting ? GENERIC_WRITE : 0), FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
}

Stream* FindOpen(const char* path) {
  for (Stream* open = StreamFirstOpen(); open; open = open->next) {
    if (open->kind == StreamKind::DiskFile && lstrcmpiA(open->path, path) == 0) return open;
  }
  return nullptr;
}

// Our own read access would keep a second handle from writing, so the shared stream's handle is
// replaced; when that fails it is reopened as it was.
Status ReopenForWriting(Stream* stream) {
  CloseHandle(FileOf(stream));
  HANDLE file = OpenHandle(stream->path, true);
  if (file != INVALID_HANDLE_VALUE) {
    stream->file = file;
    stream->writable = true;
    return kOk;
  }
  const Status status = FileLastError();
  stream->file = OpenHandle(stream->path, false);
  GetLastError();
  return status;
}

}  // namespace

Status DiskStreamOpen(const char* path, bool forWriting, Stream** stream) {
  *stream = nullptr;
  char full[MAX_PATH * 2];
  const DWORD length = GetFullPathNameA(path, sizeof full, full, nullptr);
  if (length == 0) return FileLastError();
  if (length >= sizeof full) return kErrBadName;

  if (Stream* open = FindOpen(full)) {
    if (forWriting && !open->writable) {
      const Status status = ReopenForWriting(open);
      if (status != kOk) return status;
    }
    StreamRetain(open);
    *stream = open;
    return kOk;
  }

  char* kept = TextDuplicate(full);
  if (!kept) return kErrMemory;
  HANDLE file = OpenHandle(full, forWriting);
  if (file == INVALID_HANDLE_VALUE) {
    BlockDispose(kept);
    return FileLastError();
  }
  DWORD high = 0;
  const DWORD low = GetFileSize(file, &high);
  Stream* created = StreamCreate(StreamKind::DiskFile, &kDiskOperations, forWriting);
  if (!created) {
    CloseHandle(file);
    BlockDispose(kept);
    return kErrMemory;
  }
  created->file = file;
  created->path = kept;
  created->length = high != 0 ? UINT32_MAX : low;  // 4 GiB or more
  *stream = created;
  return kOk;
}

bool ArchiveIsValidFile(const char* path, uint32_t* entryCount) {
  Stream* stream = nullptr;
  if (DiskStreamOpen(path, false, &stream) != kOk) return false;
  const bool valid = ArchiveIsValidStream(stream, entryCount);
  StreamClose(stream);
  return valid;
}
