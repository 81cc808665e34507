#include "images/png_glue.h"

#include "runtime/memory.h"

namespace {

png_voidp Allocate(png_structp, png_alloc_size_t size) { return BlockNew(size); }
void Free(png_structp, png_voidp block) { BlockDispose(block); }

// Unwinds to the recovery point; the message is not kept, every libpng error becomes -7302.
[[noreturn]] void Fail(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void Warn(png_structp, png_const_charp) {}

void ReadBytes(png_structp png, png_bytep data, size_t count) {
  auto* input = static_cast<ImageStream*>(png_get_io_ptr(png));
  if (count > UINT32_MAX || ImageStreamRead(input, uint32_t(count), data) != kOk) png_error(png, "Read Error");
}

void WriteBytes(png_structp png, png_bytep data, size_t count) {
  auto* output = static_cast<ImageStream*>(png_get_io_ptr(png));
  if (count > UINT32_MAX || ImageStreamWrite(output, uint32_t(count), data) != kOk) png_error(png, "Write Error");
}

void Flush(png_structp) {}

}  // namespace

png_structp PngCreateRead(ImageStream* input) {
  png_structp png = png_create_read_struct_2(PNG_LIBPNG_VER_STRING, nullptr, Fail, Warn, nullptr, Allocate, Free);
  if (!png) return nullptr;
  png_set_read_fn(png, input, ReadBytes);
#ifdef SKYWARD_FUZZING
  // Made-up inputs rarely carry right checksums; without this a fuzzer never gets past them.
  png_set_crc_action(png, PNG_CRC_QUIET_USE, PNG_CRC_QUIET_USE);
#ifdef PNG_IGNORE_ADLER32
  png_set_option(png, PNG_IGNORE_ADLER32, PNG_OPTION_ON);
#endif
#endif
  return png;
}

png_structp PngCreateWrite(ImageStream* output) {
  png_structp png = png_create_write_struct_2(PNG_LIBPNG_VER_STRING, nullptr, Fail, Warn, nullptr, Allocate, Free);
  if (png) png_set_write_fn(png, output, WriteBytes, Flush);
  return png;
}
