// The "zlib" codec: a zlib stream at the library's default level.
#include <zlib.h>

#include "files/codec_methods.h"

namespace codec_methods {

namespace {

constexpr uInt kGrowthStep = 4096;

Status InitFailure(int result) { return result == Z_MEM_ERROR ? kErrMemory : kErrState; }

}  // namespace

uint32_t Crc32(const uint8_t* bytes, size_t length) {
  uLong crc = crc32(0L, Z_NULL, 0);
  while (length > 0) {  // crc32 takes at most a uInt at a time
    const uInt piece = length > 0x40000000 ? 0x40000000 : uInt(length);
    crc = crc32(crc, bytes, piece);
    bytes += piece;
    length -= piece;
  }
  return uint32_t(crc);
}

Status ZlibCompress(const uint8_t* input, size_t length, MemoryHandle output) {
  if (length > UINT32_MAX) return kErrMemory;
  z_stream stream{};
  int result = deflateInit(&stream, Z_DEFAULT_COMPRESSION);
  if (result != Z_OK) return InitFailure(result);
  stream.next_in = const_cast<Bytef*>(input);
  stream.avail_in = uInt(length);
  Status status = kOk;
  for (;;) {
    status = HandleSetSize(output, GrownSize(HandleGetSize(output), HandleGetSize(output) + kGrowthStep));
    if (status != kOk) break;
    stream.next_out = HandleData(output) + stream.total_out;
    stream.avail_out = uInt(HandleGetSize(output) - stream.total_out);
    result = deflate(&stream, stream.avail_in ? Z_NO_FLUSH : Z_FINISH);
    if (result == Z_OK || result == Z_BUF_ERROR) continue;
    if (result != Z_STREAM_END) status = kErrState;
    break;
  }
  const size_t produced = stream.total_out;
  if (deflateEnd(&stream) != Z_OK && status == kOk) status = kErrState;
  return status == kOk ? HandleSetSize(output, produced) : status;
}

Status ZlibExpand(const uint8_t* input, size_t length, MemoryHandle output) {
  if (length > UINT32_MAX / 2) return kErrMemory;
  z_stream stream{};
  int result = inflateInit(&stream);
  if (result != Z_OK) return InitFailure(result);
  stream.next_in = const_cast<Bytef*>(input);
  stream.avail_in = uInt(length);
  Status status = HandleSetSize(output, length * 2 < kGrowthStep ? kGrowthStep : length * 2);
  result = Z_OK;
  while (status == kOk && result != Z_STREAM_END) {
    stream.next_out = HandleData(output) + stream.total_out;
    stream.avail_out = uInt(HandleGetSize(output) - stream.total_out);
    result = inflate(&stream, Z_NO_FLUSH);
    if (result == Z_MEM_ERROR) {
      status = kErrMemory;
    } else if (result != Z_OK && result != Z_STREAM_END) {
      status = kErrState;
    } else if (result == Z_OK && stream.avail_in == 0 && stream.avail_out > 0) {
      // All input read, room left, and still no end: the stream was cut short.
      status = kErrState;
    } else if (result == Z_OK) {
      status = HandleSetSize(output, GrownSize(HandleGetSize(output), stream.total_out + kGrowthStep));
    }
  }
  const size_t produced = stream.total_out;
  if (inflateEnd(&stream) != Z_OK && status == kOk) status = kErrState;
  return status == kOk ? HandleSetSize(output, produced) : status;
}

}  // namespace codec_methods
