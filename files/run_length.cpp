// Run-length coding on bytes or on 16-bit units. A flag byte of 0..127 starts a
// literal of flag + 1 units; 129..255 a run of 257 - flag copies of the one unit that follows; 128 is
// never written and skipped when read.
#include <cstring>

#include "files/codec_methods.h"

namespace codec_methods {

namespace {

constexpr size_t kLongestLiteral = 127;
constexpr size_t kLongestRunPiece = 126;

bool UnitsEqual(const uint8_t* input, size_t a, size_t b, size_t unit) {
  return std::memcmp(input + a, input + b, unit) == 0;
}

// A run's length split into pieces of 3 to 126 units.
size_t RunPiece(size_t left) {
  if (left > 2 * kLongestRunPiece) return kLongestRunPiece;
  if (left > kLongestRunPiece) return (left + 1) / 2;
  return left;
}

}  // namespace

Status RunLengthCompress(const uint8_t* input, size_t length, size_t unit, MemoryHandle handle) {
  if (length % unit) return kErrState;
  Output output(handle);
  size_t i = 0;
  while (i < length) {
    const bool run = i + 3 * unit <= length && UnitsEqual(input, i, i + unit, unit) &&
                     UnitsEqual(input, i, i + 2 * unit, unit);
    Status status = kOk;
    if (run) {
      size_t count = 3;
      while (i + (count + 1) * unit <= length && UnitsEqual(input, i, i + count * unit, unit)) ++count;
      for (size_t left = count; left > 0 && status == kOk;) {
        const size_t piece = RunPiece(left);
        const uint8_t flag = uint8_t(257 - piece);
        status = output.Append(&flag, 1);
        if (status == kOk) status = output.Append(input + i, unit);
        left -= piece;
      }
      i += count * unit;
    } else {
      size_t count = 1;
      while (count < kLongestLiteral && i + (count + 1) * unit <= length) {
        ++count;
        // Three equal units end the literal; they stay in it and a run may follow.
        const size_t last = i + (count - 1) * unit;
        if (count >= 3 && UnitsEqual(input, last, last - unit, unit) && UnitsEqual(input, last, last - 2 * unit, unit)) {
          break;
        }
      }
      const uint8_t flag = uint8_t(count - 1);
      status = output.Append(&flag, 1);
      if (status == kOk) status = output.Append(input + i, count * unit);
      i += count * unit;
    }
    if (status != kOk) return status;
  }
  return output.Finish();
}

Status RunLengthExpand(const uint8_t* input, size_t length, size_t unit, MemoryHandle handle) {
  Output output(handle);
  size_t i = 0;
  while (i < length) {
    const uint8_t flag = input[i];
    Status status = kOk;
    if (flag == 128) {
      ++i;
      continue;
    }
    if (flag > 128) {
      if (i + 1 + unit > length) return kErrState;
      status = output.AppendRepeated(input + i + 1, unit, 257 - flag);
      i += 1 + unit;
    } else {
      const size_t bytes = (size_t(flag) + 1) * unit;
      if (i + 1 + bytes > length) return kErrState;
      status = output.Append(input + i + 1, bytes);
      i += 1 + bytes;
    }
    if (status != kOk) return status;
  }
  return output.Finish();
}

}  // namespace codec_methods
