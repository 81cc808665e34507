#include "files/codec_methods.h"

namespace codec_methods {

namespace {
constexpr size_t kGrowthStep = 4096;
}

size_t GrownSize(size_t current, size_t needed) {
  const size_t doubled = current > SIZE_MAX / 2 ? SIZE_MAX : current * 2;
  const size_t wanted = needed > doubled ? needed : doubled;
  return wanted > SIZE_MAX - kGrowthStep ? wanted : (wanted + kGrowthStep - 1) / kGrowthStep * kGrowthStep;
}

Status Output::Reserve(size_t count, uint8_t** where) {
  const size_t needed = used_ + count;
  if (needed > HandleGetSize(handle_)) {
    const Status status = HandleSetSize(handle_, GrownSize(HandleGetSize(handle_), needed));
    if (status != kOk) return status;
  }
  *where = HandleData(handle_) + used_;
  return kOk;
}

Status Output::Append(const void* bytes, size_t count) {
  uint8_t* where = nullptr;
  const Status status = Reserve(count, &where);
  if (status != kOk) return status;
  BytesCopy(where, bytes, count);
  used_ += count;
  return kOk;
}

Status Output::AppendRepeated(const uint8_t* unit, size_t unitSize, size_t times) {
  uint8_t* where = nullptr;
  const Status status = Reserve(unitSize * times, &where);
  if (status != kOk) return status;
  for (size_t i = 0; i < times; ++i) BytesCopy(where + i * unitSize, unit, unitSize);
  used_ += unitSize * times;
  return kOk;
}

}  // namespace codec_methods
