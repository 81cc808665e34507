// Memory streams: a stream over the bytes of a memory handle. There is one stream per handle; opening a
// handle that already has one shares it. The handle stays with its owner, also after the last close.
#pragma once

#include "files/stream.h"

// -7004 when the stream cannot be made. A shared stream keeps the writable flag it was first opened with.
Status MemoryStreamOpen(MemoryHandle handle, bool writable, Stream** stream);
