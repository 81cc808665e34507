// Copies that blend: through the mask (1), by the source's alpha (2), at a constant alpha (3), through
// the mask at a constant alpha (4).
#include "graphics/pixel_loops_impl.h"

CopyLoop SelectBlendLoop(uint32_t mode, int sourceBytes, int destinationKind, bool scaled) {
  using namespace pixel_loops;
  switch (mode) {
    case 1: return PickSource<1>(sourceBytes, destinationKind, scaled);
    case 2: return PickSource<2>(sourceBytes, destinationKind, scaled);
    case 3: return PickSource<3>(sourceBytes, destinationKind, scaled);
    case 4: return PickSource<4>(sourceBytes, destinationKind, scaled);
    default: return nullptr;
  }
}
