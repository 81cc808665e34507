// The templates behind the copy loops; included by the files that instantiate them.
#pragma once

#include "graphics/colour_match.h"
#include "graphics/pixel_loops.h"
#include "graphics/pixel_store.h"

namespace pixel_loops {

// Reading a source pixel: its raw value and its colour as 0xAARRGGBB.
template <int kBytes>
struct Source {
  static constexpr int kSize = kBytes;
  static uint32_t Raw(const uint8_t* p) { return PixelLoad<kBytes>(p); }
  static uint32_t Colour(const CopyJob& job, uint32_t raw) {
    if constexpr (kBytes == 1) {
      return job.sourceColours[raw];
    } else {
      return PixelUnpack(job.sourceFormat, raw);
    }
  }
};

// Writing a destination pixel, and reading it back for blending.
template <int kKind>
struct Destination {
  static constexpr int kSize = kKind == kSameTable ? 1 : kKind;
  static void Put(const CopyJob& job, uint8_t* d, uint32_t raw, uint32_t argb) {
    if constexpr (kKind == kSameTable) {
      *d = uint8_t(raw);
    } else if constexpr (kKind == 1) {
      *d = job.inverse[InverseTableSlot(argb)];
    } else {
      PixelStore<kKind>(d, PixelPack(job.destinationFormat, argb));
    }
  }
  static uint32_t Colour(const CopyJob& job, const uint8_t* d) {
    if constexpr (kSize == 1) {
      return job.destinationColours[*d];
    } else {
      return PixelUnpack(job.destinationFormat, PixelLoad<kKind>(d));
    }
  }
  static void Blend(const CopyJob& job, uint8_t* d, uint32_t argb, int32_t weight) {
    const uint32_t under = Colour(job, d);
    uint32_t result = 0xFF000000u;
    for (int shift = 0; shift <= 16; shift += 8) {
      const int32_t s = int32_t(argb >> shift & 255), t = int32_t(under >> shift & 255);
      result |= uint32_t(t + (s - t) * weight / 256) << shift;
    }
    if constexpr (kKind == kSameTable || kKind == 1) {
      *d = job.inverse[InverseTableSlot(result)];
    } else {
      PixelStore<kKind>(d, PixelPack(job.destinationFormat, result));
    }
  }
};

// The per-pixel work of each mode. `coverage` is the mask byte when the mode uses the mask.
template <uint32_t kMode>
struct Operation {
  static constexpr bool kUsesMask = kMode == 1 || kMode == 4;
  template <class S, class D>
  static void Pixel(const CopyJob& job, const uint8_t* s, uint8_t coverage, uint8_t* d) {
    const uint32_t raw = S::Raw(s);
    if constexpr (kMode == 0) {
      D::Put(job, d, raw, S::Colour(job, raw));
    } else if constexpr (kMode == 5) {
      if ((raw & job.keyMask) != job.key) D::Put(job, d, raw, S::Colour(job, raw));
    } else {
      const uint32_t argb = S::Colour(job, raw);
      int32_t weight;
      if constexpr (kMode == 1) {
        weight = AlphaWeight(coverage);
      } else if constexpr (kMode == 2) {
        weight = AlphaWeight(argb >> 24);
      } else if constexpr (kMode == 3) {
        weight = int32_t(job.weight);
      } else {
        const int32_t product = AlphaWeight(coverage) * int32_t(job.weight);
        if (product <= 255) return;
        weight = product / 256;
      }
      if (weight == 0) return;
      if (weight == 256) {
        D::Put(job, d, raw, argb);
      } else {
        D::Blend(job, d, argb, weight);
      }
    }
  }
};

template <uint32_t kMode, class S, class D, bool kScaled>
void Loop(const CopyJob& job) {
  using Op = Operation<kMode>;
  for (int32_t y = 0; y < job.height; ++y) {
    const int32_t sy = kScaled ? int32_t(int64_t(y) * job.sourceHeight / job.height) : y;
    const uint8_t* sourceRow = job.source + size_t(sy) * job.sourceRowBytes;
    const uint8_t* maskRow = Op::kUsesMask ? job.mask + size_t(sy) * job.maskRowBytes : nullptr;
    uint8_t* d = job.destination + size_t(y) * job.destinationRowBytes;
    for (int32_t x = 0; x < job.width; ++x, d += D::kSize) {
      const int32_t sx = kScaled ? job.columns[x] : x;
      Op::template Pixel<S, D>(job, sourceRow + size_t(sx) * S::kSize, Op::kUsesMask ? maskRow[sx] : 0, d);
    }
  }
}

template <uint32_t kMode, int kSourceBytes, int kDestinationKind>
CopyLoop Pick(bool scaled) {
  using S = Source<kSourceBytes>;
  using D = Destination<kDestinationKind>;
  return scaled ? &Loop<kMode, S, D, true> : &Loop<kMode, S, D, false>;
}

template <uint32_t kMode, int kSourceBytes>
CopyLoop PickDestination(int destinationKind, bool scaled) {
  switch (destinationKind) {
    case kSameTable: return kSourceBytes == 1 ? Pick<kMode, kSourceBytes, kSameTable>(scaled) : nullptr;
    case 1: return Pick<kMode, kSourceBytes, 1>(scaled);
    case 2: return Pick<kMode, kSourceBytes, 2>(scaled);
    case 3: return Pick<kMode, kSourceBytes, 3>(scaled);
    case 4: return Pick<kMode, kSourceBytes, 4>(scaled);
    default: return nullptr;
  }
}

template <uint32_t kMode>
CopyLoop PickSource(int sourceBytes, int destinationKind, bool scaled) {
  switch (sourceBytes) {
    case 1: return PickDestination<kMode, 1>(destinationKind, scaled);
    case 2: return PickDestination<kMode, 2>(destinationKind, scaled);
    case 3: return PickDestination<kMode, 3>(destinationKind, scaled);
    case 4: return PickDestination<kMode, 4>(destinationKind, scaled);
    default: return nullptr;
  }
}

}  // namespace pixel_loops
