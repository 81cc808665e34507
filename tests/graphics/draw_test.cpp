// Lines, frames and the other drawing primitives of a port, read back from a DIB section.
#include "graphics/port_draw.h"

#include <gtest/gtest.h>

#include "tests/graphics/dib_surface.h"

namespace {

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kGround = RGB(0, 255, 0);  // what the surface holds before drawing

// Columns alternate: even columns are 0 bits (foreground), odd ones 1 bits (background); rows of two
// alternate the other way, so the pattern changes across a line of any direction.
constexpr Pattern kChecks{{0x55, 0, 0x55, 0, 0xAA, 0, 0xAA, 0, 0x55, 0, 0x55, 0, 0xAA, 0, 0xAA, 0}};
bool ChecksBit(int x, int y) { return ((x + y / 2) % 2) == 1; }

class DrawTest : public ::testing::Test {
 protected:
  void SetUp() override { port_ = OpenOn(surface_); }
  void TearDown() override { PortClose(port_); }

  static GraphicsPort* OpenOn(DibSurface& surface) {
    GraphicsPort* port = nullptr;
    EXPECT_EQ(PortOpenDevice(surface.dc(), false, &port), kOk);
    EXPECT_EQ(PortReset(port, kResetPenAndFill | kResetText), kOk);
    return port;
  }

  DibSurface surface_{64, 48, kGround};
  GraphicsPort* port_ = nullptr;
};

TEST_F(DrawTest, FramesStayInsideTheirRectangleForAnyPenSize) {
  DibSurface second(64, 48, kGround);
  GraphicsPort* other = OpenOn(second);
  const Rect box{10, 8, 40, 30};

  // Pen size 0 and 1: the same one-pixel outline along the rectangle's own edges.
  ASSERT_EQ(PortSetPen(port_, nullptr, nullptr, nullptr, 0), kOk);
  ASSERT_EQ(PortSetPen(other, nullptr, nullptr, nullptr, 1), kOk);
  ASSERT_EQ(PortFrameRect(port_, box), kOk);
  ASSERT_EQ(PortFrameRect(other, box), kOk);
  EXPECT_EQ(surface_.Pixels(), second.Pixels());
  EXPECT_EQ(surface_.BoundsOfOther(kGround), box);
  EXPECT_EQ(surface_.Count(box, kBlack), 2 * 30 + 2 * 20);

  // Pen size 3: a band three pixels deep inside the edges, nothing outside.
  surface_.Fill(kGround);
  ASSERT_EQ(PortSetPen(port_, nullptr, nullptr, nullptr, 3), kOk);
  ASSERT_EQ(PortMoveTo(port_, 50, 40), kOk);
  ASSERT_EQ(PortFrameRect(port_, box), kOk);
  EXPECT_EQ(surface_.BoundsOfOther(kGround), box);
  for (int depth = 0; depth < 4; ++depth) {
    const COLORREF expected = depth < 3 ? kBlack : kGround;
    EXPECT_EQ(surface_.Pixel(25, box.top + depth), expected) << "top, depth " << depth;
    EXPECT_EQ(surface_.Pixel(25, box.bottom - 1 - depth), expected) << "bottom, depth " << depth;
    EXPECT_EQ(surface_.Pixel(box.left + depth, 20), expected) << "left, depth " << depth;
    EXPECT_EQ(surface_.Pixel(box.right - 1 - depth, 20), expected) << "right, depth " << depth;
  }
  Point pen;
  ASSERT_EQ(PortGetPen(port_, &pen), kOk);
  EXPECT_EQ(pen, (Point{50, 40}));  // a frame leaves the current position alone
  PortClose(other);
}

TEST_F(DrawTest, PatternedLineShowsThePatternAcrossItsWidth) {
  const Colour fore = Opaque(0, 0, 0);
  const Colour back = Opaque(255, 255, 255);
  ASSERT_EQ(PortSetPen(port_, &fore, &back, &kChecks, 3), kOk);
  SetBkMode(surface_.dc(), OPAQUE);
  ASSERT_EQ(PortLine(port_, 8, 20, 56, 20), kOk);
  EXPECT_EQ(GetBkMode(surface_.dc()), OPAQUE);  // transparent only while drawing

  // Rows 19 to 21 carry the pattern; the rows beside them are untouched.
  for (int x = 12; x < 52; ++x) {
    for (int y = 19; y <= 21; ++y)
      ASSERT_EQ(surface_.Pixel(x, y), ChecksBit(x, y) ? kWhite : kBlack) << x << "," << y;
    EXPECT_EQ(surface_.Pixel(x, 18), kGround) << x;
    EXPECT_EQ(surface_.Pixel(x, 22), kGround) << x;
  }
  // Each column across the line shows both colours of the pattern.
  EXPECT_NE(surface_.Pixel(30, 19), surface_.Pixel(30, 20));
  Point pen;
  ASSERT_EQ(PortGetPen(port_, &pen), kOk);
  EXPECT_EQ(pen, (Point{56, 20}));

  // The line's pattern is its own: painting still uses the fill pattern (solid black after reset).
  ASSERT_EQ(PortPaintRect(port_, Rect{0, 30, 64, 40}), kOk);
  EXPECT_EQ(surface_.Count(Rect{0, 30, 64, 40}, kBlack), 64 * 10);

  // The solid pattern returns to a plain pen, in the foreground colour.
  const Colour red = Opaque(255, 0, 0);
  ASSERT_EQ(PortSetPen(port_, &red, nullptr, &kSolidPattern, -1), kOk);
  EXPECT_EQ(port_->penSize, 3);
  EXPECT_FALSE(port_->hasPenPattern);
  ASSERT_EQ(PortMoveTo(port_, 10, 44), kOk);
  ASSERT_EQ(PortLineTo(port_, 50, 44), kOk);
  EXPECT_EQ(surface_.Count(Rect{20, 42, 40, 47}, RGB(255, 0, 0)), 20 * 3);
}

TEST_F(DrawTest, OnePixelLinesMovesAndThePenPosition) {
  const Colour blue = Opaque(0, 0, 255);
  ASSERT_EQ(PortSetPen(port_, &blue, nullptr, nullptr, 0), kOk);
  ASSERT_EQ(PortMoveTo(port_, 5, 5), kOk);
  ASSERT_EQ(PortMove(port_, 2, 3), kOk);
  Point pen;
  ASSERT_EQ(PortGetPen(port_, &pen), kOk);
  EXPECT_EQ(pen, (Point{7, 8}));
  ASSERT_EQ(PortLineTo(port_, 27, 8), kOk);
  ASSERT_EQ(PortLine(port_, 30, 10, 30, 20), kOk);
  // The end point is left out, as everywhere in the system's drawing.
  EXPECT_EQ(surface_.Count(Rect{0, 8, 64, 9}, RGB(0, 0, 255)), 20);
  EXPECT_EQ(surface_.Count(Rect{30, 0, 31, 48}, RGB(0, 0, 255)), 10);
  EXPECT_EQ(surface_.Pixel(27, 8), kGround);
}

TEST_F(DrawTest, InvertAndSetPixel) {
  ASSERT_EQ(PortInvertRect(port_, Rect{0, 0, 10, 10}), kOk);
  EXPECT_EQ(surface_.Count(Rect{0, 0, 10, 10}, RGB(255, 0, 255)), 100);
  EXPECT_EQ(surface_.BoundsOfOther(kGround), (Rect{0, 0, 10, 10}));
  ASSERT_EQ(PortSetOrigin(port_, 20, 10, nullptr), kOk);
  ASSERT_EQ(PortSetPixel(port_, 3, 4, Opaque(1, 2, 3)), kOk);
  EXPECT_EQ(surface_.Pixel(23, 14), RGB(1, 2, 3));
}

}  // namespace
