#include "graphics/colour_tables.h"

namespace {

constexpr uint8_t kCubeLevels[6] = {255, 204, 153, 102, 51, 0};
// The ramps take the levels that the cube lacks: the multiples of 17 that are not multiples of 51.
constexpr uint8_t kRampLevels[10] = {238, 221, 187, 170, 136, 119, 85, 68, 34, 17};

constexpr Colour Opaque(uint8_t red, uint8_t green, uint8_t blue) { return Colour{255, red, green, blue}; }

ColourTable BuildSystemTable() {
  ColourTable table{};
  table.count = 256;
  int index = 0;
  for (uint8_t red : kCubeLevels)
    for (uint8_t green : kCubeLevels)
      for (uint8_t blue : kCubeLevels)
        if (index < 215) table.entries[index++] = Opaque(red, green, blue);
  for (uint8_t level : kRampLevels) table.entries[index++] = Opaque(level, 0, 0);
  for (uint8_t level : kRampLevels) table.entries[index++] = Opaque(0, level, 0);
  for (uint8_t level : kRampLevels) table.entries[index++] = Opaque(0, 0, level);
  for (uint8_t level : kRampLevels) table.entries[index++] = Opaque(level, level, level);
  table.entries[index] = Opaque(0, 0, 0);
  return table;
}

ColourTable BuildGreyTable() {
  ColourTable table{};
  table.count = 256;
  for (int level = 0; level < 256; ++level) {
    const auto grey = static_cast<uint8_t>(level);
    table.entries[level] = Opaque(grey, grey, grey);
  }
  return table;
}

}  // namespace

const ColourTable& SystemColourTable() {
  static const ColourTable table = BuildSystemTable();
  return table;
}

const ColourTable& GreyColourTable() {
  static const ColourTable table = BuildGreyTable();
  return table;
}
