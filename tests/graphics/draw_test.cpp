// Lines, frames and the other drawing primitives of a port, read back from a DIB section.
#include "graphics/port_draw.h"

#include <gtest/gtest.h>

#include "tests/graphics/surfaces.h"

namespace {

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kGround = RGB(0, 255, 0);  // what the surface holds before drawing

// Odd columns are 1 bits (background) in rows 0-1, even ones in rows 2-3, and so on: the pattern
// changes across a line of any direction.
constexpr Pattern kChecks{{0x55, 0, 0x55, 0, 0xAA, 0, 0xAA, 0, 0x55, 0, 0x55, 0, 0xAA, 0, 0xAA, 0}};
bool ChecksBackground(int x, int y) { return (x + y / 2) % 2 == 1; }

using DrawTest = PortOnSurface<64, 48, kGround>;

TEST_F(DrawTest, FramesStayInsideTheirRectangleForAnyPenSize) {
  const Rect box{10, 8, 40, 30};
  ASSERT_EQ(PortMoveTo(port_, 50, 40), kOk);
  // Pen size 0 and 1: the same one-pixel outline along the rectangle's own edges.
  for (int32_t size : {0, 1}) {
    surface_.Fill(kGround);
    ASSERT_EQ(PortSetPen(port_, nullptr, nullptr, nullptr, size), kOk);
    ASSERT_EQ(PortFrameRect(port_, box), kOk);
    EXPECT_EQ(surface_.BoundsOfOther(kGround), box) << size;
    EXPECT_EQ(surface_.Count(box, kBlack), 2 * 30 + 2 * 22 - 4) << size;
  }
  // Pen size 3: a band three pixels deep inside the edges, nothing outside. (The wide pen's round joins
  // leave the four outermost corner pixels.)
  surface_.Fill(kGround);
  ASSERT_EQ(PortSetPen(port_, nullptr, nullptr, nullptr, 3), kOk);
  ASSERT_EQ(PortFrameRect(port_, box), kOk);
  EXPECT_EQ(surface_.BoundsOfOther(kGround), box);
  for (const Rect& band : {Rect{13, 8, 37, 11}, Rect{13, 27, 37, 30}, Rect{10, 11, 13, 27}, Rect{37, 11, 40, 27}})
    EXPECT_EQ(surface_.Count(band, kBlack), (band.right - band.left) * (band.bottom - band.top));
  EXPECT_EQ(surface_.Count(Rect{13, 11, 37, 27}, kGround), 24 * 16);
  Point pen;
  ASSERT_EQ(PortGetPen(port_, &pen), kOk);
  EXPECT_EQ(pen, (Point{50, 40}));  // a frame leaves the current position alone
}

TEST_F(DrawTest, PatternedLineShowsThePatternAcrossItsWidth) {
  const Colour fore = Opaque(0, 0, 0), back = Opaque(255, 255, 255), red = Opaque(255, 0, 0);
  ASSERT_EQ(PortSetPen(port_, &fore, &back, &kChecks, 3), kOk);
  ASSERT_EQ(PortLine(port_, 8, 20, 56, 20), kOk);
  EXPECT_EQ(GetBkMode(surface_.dc()), OPAQUE);  // transparent only while drawing
  // Rows 19 to 21 carry the pattern, both of its colours across the width; the rows beside are untouched.
  for (int x = 12; x < 52; ++x) {
    for (int y = 19; y <= 21; ++y)
      ASSERT_EQ(surface_.Pixel(x, y), ChecksBackground(x, y) ? kWhite : kBlack) << x << "," << y;
    ASSERT_TRUE(surface_.Pixel(x, 18) == kGround && surface_.Pixel(x, 22) == kGround) << x;
  }
  Point pen;
  ASSERT_EQ(PortGetPen(port_, &pen), kOk);
  EXPECT_EQ(pen, (Point{56, 20}));

  // The line's pattern is its own: painting keeps the fill pattern (solid black after the reset).
  ASSERT_EQ(PortPaintRect(port_, Rect{0, 30, 64, 40}), kOk);
  EXPECT_EQ(surface_.Count(Rect{0, 30, 64, 40}, kBlack), 64 * 10);
  // The solid pattern returns to a plain pen in the foreground colour, of the size set before.
  ASSERT_EQ(PortSetPen(port_, &red, nullptr, &kSolidPattern, -1), kOk);
  ASSERT_EQ(PortMoveTo(port_, 10, 44), kOk);
  ASSERT_EQ(PortMove(port_, 1, 0), kOk);
  ASSERT_EQ(PortLineTo(port_, 50, 44), kOk);
  EXPECT_EQ(surface_.Count(Rect{20, 42, 40, 47}, RGB(255, 0, 0)), 20 * 3);
}

}  // namespace
