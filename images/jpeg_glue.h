// What the JPEG reader and writer share: libjpeg's errors unwinding to the glue's recovery point, and
// the source and destination managers over image streams, each with a 4096-byte buffer.
#pragma once

#include <csetjmp>
#include <cstdio>  // jpeglib.h needs FILE

#include <jpeglib.h>
// After jpeglib.h, which it needs.
#include <jerror.h>

#include "images/image_stream.h"
#include "runtime/status.h"

// The library's standard error handler, silent, whose exit jumps to `recovery`; and a progress monitor
// that ends a progressive file of endless scans as an error.
struct JpegErrors {
  jpeg_error_mgr manager;  // first: the library sees only this part
  jpeg_progress_mgr progress;
  jmp_buf recovery;
};
// Before the object is created.
void JpegErrorsAttach(JpegErrors* errors, j_common_ptr object);
// After the decompression object is created (creating clears the monitor).
void JpegWatchScans(JpegErrors* errors, j_decompress_ptr object);
// The status for the library's last error: -7004 when it ran out of memory, else -7302.
Status JpegErrorStatus(const JpegErrors& errors);

// Both are allocated with the system's blocks and freed by the caller; none when memory runs out.
// Attaching must happen under the recovery point.
jpeg_source_mgr* JpegSourceNew(ImageStream* input);
jpeg_destination_mgr* JpegDestinationNew(ImageStream* output);
