#include "files/volumes.h"

#include "files/archive.h"
#include "runtime/text.h"

namespace {

Volume* gMounted = nullptr;

uint32_t FreeNumber() {
  uint32_t number = 1;
  while (VolumeFindMounted(number)) ++number;
  return number;
}

}  // namespace

Status VolumeMount(Stream* stream, Volume** volume) {
  *volume = nullptr;
  auto* mounted = static_cast<Volume*>(BlockNewClear(sizeof(Volume)));
  if (!mounted) return kErrMemory;
  mounted->number = FreeNumber();
  TextCopyBounded(mounted->name, kMountedVolumeName, sizeof mounted->name);
  mounted->stream = stream;
  Volume** link = &gMounted;
  while (*link) link = &(*link)->next;
  *link = mounted;
  *volume = mounted;
  return kOk;
}

Status VolumeUnmount(Volume* volume) {
  for (Volume** link = &gMounted; *link; link = &(*link)->next) {
    if (*link != volume) continue;
    *link = volume->next;
    StreamClose(volume->stream);
    BlockDispose(volume);
    return kOk;
  }
  return kErrNoVolume;
}

Volume* VolumeFirstMounted() { return gMounted; }

Volume* VolumeFindMounted(uint32_t number) {
  Volume* volume = gMounted;
  while (volume && volume->number != number) volume = volume->next;
  return volume;
}

Status VolumeGetArchive(Volume* volume, Stream** archive) {
  *archive = nullptr;
  const Status status = ArchiveLoadDirectory(volume->stream);
  if (status == kOk) *archive = volume->stream;
  return status;
}
