#include "graphics/colour_match.h"

#include "graphics/colour_tables.h"

namespace {

uint32_t gNextIdentity = 0x888A;

}  // namespace

bool ColourTableIsGrey(const ColourTable& table) {
  const ColourTable& grey = GreyColourTable();
  if (table.count != grey.count) return false;
  for (uint32_t i = 0; i < 256; ++i) {
    if (!(table.entries[i] == grey.entries[i])) return false;
  }
  return true;
}

uint32_t ColourTableNewIdentity(const ColourTable& table) {
  return ColourTableIsGrey(table) ? kGreyTableIdentity : gNextIdentity++;
}

void InverseTableBuild(const ColourTable& table, uint8_t inverse[4096]) {
  const uint32_t count = table.count < 256 ? table.count : 256;
  if (count == 0) {
    for (uint32_t i = 0; i < 4096; ++i) inverse[i] = 0;
    return;
  }
  // Squared differences per channel level and entry, so the search is additions only (interface
  // thread only, like the rest of the layer).
  static uint32_t distance[3][16][256];
  for (uint32_t level = 0; level < 16; ++level) {
    for (uint32_t entry = 0; entry < count; ++entry) {
      const Colour c = table.entries[entry];
      const int32_t v = int32_t(level * 17);
      distance[0][level][entry] = uint32_t((v - c.red) * (v - c.red));
      distance[1][level][entry] = uint32_t((v - c.green) * (v - c.green));
      distance[2][level][entry] = uint32_t((v - c.blue) * (v - c.blue));
    }
  }
  for (uint32_t r = 0; r < 16; ++r) {
    for (uint32_t g = 0; g < 16; ++g) {
      uint32_t redGreen[256];
      for (uint32_t entry = 0; entry < count; ++entry) redGreen[entry] = distance[0][r][entry] + distance[1][g][entry];
      for (uint32_t b = 0; b < 16; ++b) {
        const uint32_t* blue = distance[2][b];
        uint32_t best = 0, bestDistance = redGreen[0] + blue[0];
        for (uint32_t entry = 1; entry < count && bestDistance; ++entry) {
          const uint32_t d = redGreen[entry] + blue[entry];
          if (d < bestDistance) best = entry, bestDistance = d;
        }
        inverse[r * 256 + g * 16 + b] = uint8_t(best);
      }
    }
  }
}
