// Atomic operations on 32-bit words shared between threads. Aligned words use the processor's
// interlocked instructions; a word that is not 4-byte aligned is handled under the global lock, which
// is only atomic against other users of these functions.
#pragma once

#include <cstdint>

#include "runtime/status.h"

// Set or clear one bit (0 to 31) and return its previous state; other bit numbers change nothing and
// give false.
bool AtomicTestAndSetBit(volatile uint32_t* word, uint32_t bit);
bool AtomicTestAndClearBit(volatile uint32_t* word, uint32_t bit);

// Adds and hands out the previous value. An unaligned word is still added to, but gives -7001 so that
// the caller learns of it.
Status AtomicAdd(volatile int32_t* word, int32_t amount, int32_t* previous);

// Stores the replacement if the word holds the expected value; returns the value the word held.
int32_t AtomicCompareExchange(volatile int32_t* word, int32_t expected, int32_t replacement);
