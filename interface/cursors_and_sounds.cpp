// Cursors over the window's elements and the sounds of the program's resources.
#include <windows.h>

#include <mmsystem.h>

#include <array>
#include <cstdint>

#include "interface/cursors.h"
#include "interface/interface.h"
#include "runtime/multimedia_library.h"

namespace {

constexpr int32_t kArrowCursor = 32512;
constexpr int32_t kHandCursor = 32649;
constexpr int kHandSize = 32;
constexpr int kHandHotSpotX = 13, kHandHotSpotY = 5;

// The hand's white inside as spans [from, to) per row; the black outline is every pixel around it.
struct Span {
  uint8_t row, from, to;
};
constexpr Span kHandInside[] = {
    {5, 12, 15},  {6, 12, 15},  {7, 12, 15},  {8, 12, 15},  {9, 12, 15},  {9, 16, 19},  {10, 12, 15},
    {10, 16, 19}, {11, 12, 15}, {11, 16, 19}, {11, 20, 23}, {12, 12, 15}, {12, 16, 19}, {12, 20, 23},
    {13, 8, 10},  {13, 12, 15}, {13, 16, 19}, {13, 20, 23}, {13, 24, 26}, {14, 8, 26},  {15, 8, 26},
    {16, 9, 26},  {17, 9, 26},  {18, 9, 26},  {19, 10, 25}, {20, 10, 25}, {21, 10, 25}, {22, 11, 24},
    {23, 11, 24}, {24, 11, 24}, {25, 12, 23}, {26, 12, 23},
};

using Grid = std::array<std::array<bool, kHandSize>, kHandSize>;

constexpr Grid HandInside() {
  Grid inside{};
  for (const Span& span : kHandInside)
    for (int x = span.from; x < span.to; ++x) inside[span.row][x] = true;
  return inside;
}

// One bit per pixel, rows of four bytes, leftmost pixel in the top bit. The AND mask keeps the
// screen where the hand is not; the XOR mask turns the inside white (outline pixels are black: both 0).
struct HandMasks {
  std::array<uint8_t, kHandSize * kHandSize / 8> andMask;
  std::array<uint8_t, kHandSize * kHandSize / 8> xorMask;
};

constexpr HandMasks MakeHandMasks() {
  const Grid inside = HandInside();
  HandMasks masks{};
  for (int y = 0; y < kHandSize; ++y) {
    for (int x = 0; x < kHandSize; ++x) {
      bool outline = false;
      for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
          const int ny = y + dy, nx = x + dx;
          if (ny >= 0 && ny < kHandSize && nx >= 0 && nx < kHandSize && inside[ny][nx]) outline = true;
        }
      const int byte = y * kHandSize / 8 + x / 8;
      const uint8_t bit = uint8_t(0x80 >> (x % 8));
      if (inside[y][x]) masks.xorMask[byte] |= bit;
      else if (!outline) masks.andMask[byte] |= bit;
    }
  }
  return masks;
}
constexpr HandMasks kHandMasks = MakeHandMasks();

HCURSOR gBuiltHand = nullptr;

}  // namespace

HCURSOR built_hand_cursor() {
  if (!gBuiltHand)
    gBuiltHand = CreateCursor(GetModuleHandleA(nullptr), kHandHotSpotX, kHandHotSpotY, kHandSize, kHandSize,
                              kHandMasks.andMask.data(), kHandMasks.xorMask.data());
  return gBuiltHand;
}

void release_cursors() {
  if (gBuiltHand && GetCursor() == gBuiltHand) SetCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(kArrowCursor)));
  if (gBuiltHand) DestroyCursor(gBuiltHand);
  gBuiltHand = nullptr;
}

Status set_cursor(int32_t id) {
  if (id == 0) id = kArrowCursor;
  HCURSOR cursor = id >= kArrowCursor ? LoadCursorA(nullptr, MAKEINTRESOURCEA(id))
                                      : LoadCursorA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id));
  if (!cursor && id == kHandCursor) cursor = built_hand_cursor();
  if (!cursor) return kErrNotFound;
  if (GetCursor() != cursor) SetCursor(cursor);
  return kOk;
}

Status play_sound(const char* name) {
  // Asked to play without waiting, the system may accept a sound it cannot play; a missing one is
  // found missing here.
  HMODULE module = GetModuleHandleA(nullptr);
  if (!FindResourceA(module, name, "WAVE")) return kErrNotFound;
  return MultimediaPlaySound(name, module, SND_RESOURCE | SND_ASYNC | SND_NODEFAULT) ? kOk : kErrNotFound;
}
