// Fuzz target: the codecs. The first byte picks zlib, "pack" or "PACK" and the rest is expanded with it:
// a refusal must leave the handle as it was; what expands must agree with a decoder written here (or
// with zlib's own one-shot reader) and survive compressing and expanding again. The rest is also
// compressed and expanded back with every codec.
#include <zlib.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "files/codecs.h"

namespace {

using Bytes = std::vector<uint8_t>;

constexpr FourCC kCodecs[] = {kCodecZlib, kCodecPack, kCodecPackWords};
// Outputs larger than this are not sent round again: slow, and no different in kind.
constexpr size_t kLargestRoundTrip = 1 << 20;

void Check(bool condition) {
  if (!condition) std::abort();
}

bool Holds(MemoryHandle handle, const uint8_t* data, size_t size) {
  return HandleGetSize(handle) == size && (size == 0 || std::memcmp(HandleData(handle), data, size) == 0);
}

// Run-length expansion as the format is described: a flag of 0..127 copies flag + 1 units, 129..255
// repeats the next unit 257 - flag times, 128 is skipped. False for input that ends inside a piece.
bool ReferenceExpand(const uint8_t* in, size_t size, size_t unit, Bytes* out) {
  for (size_t i = 0; i < size;) {
    const uint8_t flag = in[i++];
    if (flag == 128) continue;
    const size_t count = flag < 128 ? (flag + 1u) * unit : unit;
    if (size - i < count) return false;
    const size_t times = flag < 128 ? 1 : 257u - flag;
    for (size_t t = 0; t < times; ++t) out->insert(out->end(), in + i, in + i + count);
    i += count;
  }
  return true;
}

// Compressing and expanding gives the bytes back, and the two records carry the same numbers.
void RoundTrip(const uint8_t* data, size_t size, FourCC codec) {
  if (codec == kCodecPackWords) size -= size % 2;  // whole 16-bit units only
  UniqueHandle handle(HandleNewFromData(data, size));
  if (!handle) return;
  CodecInfo compressed{}, expanded{};
  Check(CompressBlock(handle.get(), codec, &compressed) == kOk);
  Check(ExpandBlock(handle.get(), codec, &expanded) == kOk);
  Check(Holds(handle.get(), data, size));
  Check(compressed.codec == (size ? codec : kCodecNone) && expanded.codec == compressed.codec);
  Check(compressed.expandedSize == size && expanded.expandedSize == size);
  Check(compressed.compressedSize == expanded.compressedSize);
  Check(compressed.expandedCrc == expanded.expandedCrc && compressed.compressedCrc == expanded.compressedCrc);
}

// What ExpandBlock made of the input, checked against a second decoder.
void CheckExpansion(const uint8_t* input, size_t size, FourCC codec, MemoryHandle result) {
  const size_t produced = HandleGetSize(result);
  if (codec == kCodecZlib) {
    Bytes again(produced + 1);
    uLongf length = uLongf(again.size());
    Check(uncompress(again.data(), &length, input, uLong(size)) == Z_OK);
    Check(Holds(result, again.data(), length));
    return;
  }
  Bytes reference;
  Check(ReferenceExpand(input, size, codec == kCodecPack ? 1 : 2, &reference));
  Check(Holds(result, reference.data(), reference.size()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const FourCC codec = kCodecs[data[0] % 3];
  const uint8_t* input = data + 1;
  const size_t length = size - 1;

  UniqueHandle handle(HandleNewFromData(input, length));
  if (!handle) return 0;
  const Status status = ExpandBlock(handle.get(), codec, nullptr);
  if (status != kOk) {
    Check(status == kErrState || status == kErrMemory);
    Check(Holds(handle.get(), input, length));
    if (status == kErrState && codec != kCodecZlib) {
      Bytes unused;
      Check(!ReferenceExpand(input, length, codec == kCodecPack ? 1 : 2, &unused));
    }
  } else if (length > 0) {
    CheckExpansion(input, length, codec, handle.get());
    if (HandleGetSize(handle.get()) <= kLargestRoundTrip) {
      const Bytes expanded(HandleData(handle.get()), HandleData(handle.get()) + HandleGetSize(handle.get()));
      RoundTrip(expanded.data(), expanded.size(), codec);
    }
  }
  for (FourCC each : kCodecs) RoundTrip(input, length, each);
  return 0;
}
