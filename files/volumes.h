// Mounted volumes: archives held in memory that the file layer reaches as volumes of their own, beside
// the disk drives. Each has a number, unique while it is mounted, and a name; the volume holds one
// reference on the archive's stream.
#pragma once

#include <cstdint>

#include "files/stream.h"

// The name under which the root of a mounted volume is reported.
constexpr char kMountedVolumeName[] = "_Virtual_";

struct Volume {
  Volume* next;       // in the list of mounted volumes, oldest first
  uint32_t number;    // the lowest number, from 1, that no other mounted volume has
  char name[256];
  Stream* stream;     // the mounted archive
};

// Registers the stream as a mounted volume, taking over the caller's reference on it (-7004 when the
// volume cannot be made; the reference then stays with the caller).
Status VolumeMount(Stream* stream, Volume** volume);
// Removes the volume and drops its reference on the stream. -7212 for a volume that is not mounted.
Status VolumeUnmount(Volume* volume);

Volume* VolumeFirstMounted();
Volume* VolumeFindMounted(uint32_t number);

// The volume's archive, its header and directory validated and loaded on the first access.
Status VolumeGetArchive(Volume* volume, Stream** archive);
