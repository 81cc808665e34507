#include "runtime/atomic.h"

#include <windows.h>

#include <cstring>

#include "runtime/locks.h"

namespace {

bool IsAligned(volatile const void* word) { return (reinterpret_cast<uintptr_t>(word) & 3) == 0; }

// The interlocked calls take LONG; the bits are the same.
volatile LONG* AsLong(volatile void* word) { return static_cast<volatile LONG*>(word); }

// Unaligned words are copied bytewise: a misaligned 32-bit access is not something C++ promises.
template <class T>
T Load(volatile T* word) {
  T value;
  std::memcpy(&value, const_cast<T*>(word), sizeof value);
  return value;
}

template <class T>
void Store(volatile T* word, T value) {
  std::memcpy(const_cast<T*>(word), &value, sizeof value);
}

}  // namespace

bool AtomicTestAndSetBit(volatile uint32_t* word, uint32_t bit) {
  if (bit > 31) return false;
  if (IsAligned(word)) return InterlockedBitTestAndSet(AsLong(word), LONG(bit)) != 0;
  GlobalLockScope guard;
  const uint32_t value = Load(word);
  Store(word, value | (1u << bit));
  return (value >> bit) & 1;
}

bool AtomicTestAndClearBit(volatile uint32_t* word, uint32_t bit) {
  if (bit > 31) return false;
  if (IsAligned(word)) return InterlockedBitTestAndReset(AsLong(word), LONG(bit)) != 0;
  GlobalLockScope guard;
  const uint32_t value = Load(word);
  Store(word, value & ~(1u << bit));
  return (value >> bit) & 1;
}

Status AtomicAdd(volatile int32_t* word, int32_t amount, int32_t* previous) {
  int32_t before;
  Status status = kOk;
  if (IsAligned(word)) {
    before = InterlockedExchangeAdd(AsLong(word), LONG(amount));
  } else {
    GlobalLockScope guard;
    before = Load(word);
    Store(word, int32_t(uint32_t(before) + uint32_t(amount)));  // wraps like the interlocked add
    status = kErrArgument;
  }
  if (previous) *previous = before;
  return status;
}

int32_t AtomicCompareExchange(volatile int32_t* word, int32_t expected, int32_t replacement) {
  if (IsAligned(word)) return InterlockedCompareExchange(AsLong(word), LONG(replacement), LONG(expected));
  GlobalLockScope guard;
  const int32_t before = Load(word);
  if (before == expected) Store(word, replacement);
  return before;
}
