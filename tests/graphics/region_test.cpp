// Regions, a port's clip with the mapping between logical and device coordinates, and the drawing
// primitives on rectangles and lines, read back from DIB sections.
#include "graphics/region.h"

#include <gtest/gtest.h>

#include <optional>

#include "graphics/port_draw.h"
#include "tests/graphics/surfaces.h"

namespace {

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);

Rect BoundsOf(HRGN region) {
  Rect bounds{-1, -1, -1, -1};
  EXPECT_EQ(RegionBounds(region, &bounds), kOk);
  return bounds;
}

// The context's clip box in device coordinates, or none.
std::optional<Rect> DeviceClip(HDC dc) {
  HRGN region = RegionNew();
  const bool clipped = GetClipRgn(dc, region) == 1;
  const Rect box = BoundsOf(region);
  RegionDispose(region);
  return clipped ? std::optional<Rect>(box) : std::nullopt;
}

class ClipTest : public PortOnSurface<200, 100, kWhite> {
 protected:
  // Paints everything in view black and tells where the paint landed.
  Rect PaintedBox() {
    surface_.Fill(kWhite);
    EXPECT_EQ(PortPaintRect(port_, Rect{-1000, -1000, 1000, 1000}), kOk);
    return surface_.BoundsOfOther(kWhite);
  }

  HRGN clip_ = RegionNew(), read_ = nullptr;
  void TearDown() override { RegionDispose(clip_), RegionDispose(read_); }
};

TEST_F(ClipTest, ClipFollowsTheOriginToDevicePixelsAndReadsBackLogical) {
  ASSERT_EQ(PortSetOrigin(port_, 100, 50, nullptr), kOk);
  ASSERT_EQ(RegionSetRect(clip_, Rect{0, 0, 10, 10}), kOk);
  ASSERT_EQ(PortSetClip(port_, clip_), kOk);
  EXPECT_EQ(DeviceClip(surface_.dc()), (Rect{100, 50, 110, 60}));
  EXPECT_EQ(PaintedBox(), (Rect{100, 50, 110, 60}));
  ASSERT_EQ(PortGetClip(port_, &read_), kOk);
  EXPECT_EQ(BoundsOf(read_), (Rect{0, 0, 10, 10}));

  // Rectangle clips and intersections take the same way.
  ASSERT_EQ(PortSetClipRect(port_, Rect{-20, -10, 30, 40}), kOk);
  EXPECT_EQ(PaintedBox(), (Rect{80, 40, 130, 90}));
  ASSERT_EQ(PortIntersectClipRect(port_, Rect{20, 30, 90, 90}), kOk);
  EXPECT_EQ(PaintedBox(), (Rect{120, 80, 130, 90}));
  ASSERT_EQ(RegionSetRect(clip_, Rect{25, 0, 100, 100}), kOk);
  ASSERT_EQ(PortIntersectClip(port_, clip_), kOk);
  EXPECT_EQ(PaintedBox(), (Rect{125, 80, 130, 90}));

  // Through a scaled mapping, two logical units to a pixel across: a region of two rectangles is carried
  // to the device and back.
  SetMapMode(surface_.dc(), MM_ANISOTROPIC);
  SetWindowExtEx(surface_.dc(), 2, 1, nullptr);
  SetViewportExtEx(surface_.dc(), 1, 1, nullptr);
  HRGN second = CreateRectRgn(40, 0, 60, 10);
  ASSERT_EQ(RegionSetRect(clip_, Rect{0, 0, 20, 20}), kOk);
  ASSERT_EQ(RegionUnion(clip_, clip_, second), kOk);
  DeleteObject(second);
  ASSERT_EQ(PortSetClip(port_, clip_), kOk);
  EXPECT_EQ(PaintedBox(), (Rect{100, 50, 130, 70}));
  EXPECT_TRUE(surface_.Pixel(115, 55) == kWhite && surface_.Pixel(125, 65) == kWhite) << "between the two";
  RegionDispose(read_);
  ASSERT_EQ(PortGetClip(port_, &read_), kOk);
  EXPECT_TRUE(EqualRgn(read_, clip_));
  EXPECT_EQ(RegionMap(clip_, Rect{0, 0, 8, 2}, Rect{5, 5, 5, 9}), kErrArgument) << "no frame to scale from";

  // The clip read at open (none) comes back with the clip reset.
  ASSERT_EQ(PortReset(port_, kResetClip | kResetOrigin), kOk);
  EXPECT_EQ(DeviceClip(surface_.dc()), std::nullopt);
}

TEST_F(ClipTest, WideOpenRegionRemovesTheClipAndMinus16000To16000DoesNot) {
  ASSERT_EQ(PortSetClipRect(port_, Rect{0, 0, 10, 10}), kOk);
  SetRectRgn(clip_, -32000, -32000, 32000, 32000);  // past what the layer's rectangles may span
  ASSERT_EQ(PortSetClip(port_, clip_), kOk);
  EXPECT_EQ(DeviceClip(surface_.dc()), std::nullopt);
  EXPECT_EQ(PaintedBox(), (Rect{0, 0, 200, 100}));
  ASSERT_EQ(PortGetClip(port_, &read_), kOk);
  EXPECT_EQ(BoundsOf(read_), kWholePlane);
  // Intersecting with the whole plane changes nothing, wherever the origin is.
  ASSERT_EQ(PortSetOrigin(port_, 10, 10, nullptr), kOk);
  ASSERT_EQ(PortIntersectClip(port_, read_), kOk);
  EXPECT_EQ(DeviceClip(surface_.dc()), std::nullopt);

  // Short of 32000 on one side, or with a hole, it is a clip; so is -16000 to 16000.
  ASSERT_EQ(PortSetOrigin(port_, 0, 0, nullptr), kOk);
  SetRectRgn(clip_, -32000, -32000, 32000, 31999);
  ASSERT_EQ(PortSetClip(port_, clip_), kOk);
  EXPECT_EQ(DeviceClip(surface_.dc()), (Rect{-32000, -32000, 32000, 31999}));
  SetRectRgn(clip_, -32000, -32000, 32000, 32000);
  HRGN hole = CreateRectRgn(0, 0, 1, 1);
  CombineRgn(clip_, clip_, hole, RGN_DIFF);
  DeleteObject(hole);
  ASSERT_EQ(PortSetClip(port_, clip_), kOk);
  EXPECT_EQ(PaintedBox(), (Rect{0, 0, 200, 100}));
  EXPECT_EQ(surface_.Pixel(0, 0), kWhite) << "the hole";
  ASSERT_EQ(RegionSetRect(clip_, Rect{-16000, -16000, 16000, 16000}), kOk);
  ASSERT_EQ(PortSetClip(port_, clip_), kOk);
  EXPECT_EQ(DeviceClip(surface_.dc()), (Rect{-16000, -16000, 16000, 16000}));
}

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
  // Pen size 3: a band three pixels deep inside the edges, corners included, nothing outside.
  surface_.Fill(kGround);
  ASSERT_EQ(PortSetPen(port_, nullptr, nullptr, nullptr, 3), kOk);
  ASSERT_EQ(PortFrameRect(port_, box), kOk);
  EXPECT_EQ(surface_.BoundsOfOther(kGround), box);
  EXPECT_EQ(surface_.Count(box, kBlack), 30 * 22 - 24 * 16);
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
