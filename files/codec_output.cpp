#include "files/codec_methods.h"

namespace codec_methods {

namespace {
constexpr size_t kGrowthStep = 4096;
}

Status Output::Reserve(size_t count, uint8_t** where) {
  const size_t needed = used_ + count;
  if (needed > HandleGetSize(handle_)) {
    const Status status = HandleSetSize(handle_, (needed + kGrowthStep - 1) / kGrowthStep * kGrowthStep);
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
