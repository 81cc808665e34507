#include "files/archive_mount.h"

#include "files/archive.h"
#include "files/memory_stream.h"

Status ArchiveMountBlock(MemoryHandle handle, bool writable, Volume** volume) {
  *volume = nullptr;
  Stream* stream = nullptr;
  Status status = MemoryStreamOpen(handle, writable, &stream);
  if (status != kOk) return status;
  if (HandleGetSize(handle) == 0) status = ArchiveFormat(stream, kArchiveDefaultCapacity);
  if (status == kOk) status = VolumeMount(stream, volume);
  if (status != kOk) StreamClose(stream);
  return status;
}
