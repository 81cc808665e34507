// Copies that do not blend: plain copy (mode 0) and transparent colour (mode 5).
#include "graphics/pixel_loops_impl.h"

CopyLoop SelectPlainLoop(uint32_t mode, int sourceBytes, int destinationKind, bool scaled) {
  using namespace pixel_loops;
  switch (mode) {
    case 0: return PickSource<0>(sourceBytes, destinationKind, scaled);
    case 5: return PickSource<5>(sourceBytes, destinationKind, scaled);
    default: return nullptr;
  }
}
