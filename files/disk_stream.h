// Disk streams: a stream over a file on disk. There is one stream per file (by its full path, letter
// case ignored); a second open shares it, and an open for writing reopens a shared stream that was
// opened for reading with write access. Windows only.
#pragma once

#include "files/stream.h"

// Opens an existing file: read access, and write access when forWriting; others may only read it
// while it is open. The system's failures come mapped (-7203 absent, -7209 a folder or no access, -7208
// in use elsewhere).
Status DiskStreamOpen(const char* path, bool forWriting, Stream** stream);

// The archive validity test on a disk file, opened for reading and closed again (a stream that is open
// on it keeps its position). Gives the header's entry count when valid.
bool ArchiveIsValidFile(const char* path, uint32_t* entryCount);
