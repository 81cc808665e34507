// Fuzz target: the Pict reader alone on any bytes, and its writer on what it decodes.
#include "tools/fuzz/reader_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return FuzzReader(PictRead, PictWrite, data, size);
}
