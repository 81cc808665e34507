// Matching colours to the entries of a colour table: table identities and inverse tables.
#pragma once

#include <cstdint>

#include "graphics/graphics_types.h"

constexpr uint32_t kGreyTableIdentity = 0x8889;

bool ColourTableIsGrey(const ColourTable& table);
// The identity of an indexed map with this table: the grey table's fixed one, or the next value of a
// process-wide counter.
uint32_t ColourTableNewIdentity(const ColourTable& table);

// inverse[r * 256 + g * 16 + b] for r, g, b from 0 to 15: the index of the entry nearest to
// (r * 17, g * 17, b * 17) by the sum of squared differences; the lower index wins a tie.
void InverseTableBuild(const ColourTable& table, uint8_t inverse[4096]);

inline uint32_t InverseTableSlot(uint32_t argb) {
  return (argb >> 12 & 0xF00) | (argb >> 8 & 0xF0) | (argb >> 4 & 0xF);
}
inline uint32_t ColourToArgb(Colour colour) {
  return uint32_t(colour.alpha) << 24 | uint32_t(colour.red) << 16 | uint32_t(colour.green) << 8 | colour.blue;
}
inline Colour ArgbToColour(uint32_t argb) {
  return Colour{uint8_t(argb >> 24), uint8_t(argb >> 16), uint8_t(argb >> 8), uint8_t(argb)};
}
