// Mounting an archive held in a memory handle as a volume.
#pragma once

#include "files/volumes.h"

// Wraps the handle in its memory stream (sharing one that exists), formats an archive of 10 records in
// it when it is empty, and mounts it. The archive is validated on the first access through the volume.
// Unmounting leaves the handle with its owner.
Status ArchiveMountBlock(MemoryHandle handle, bool writable, Volume** volume);
