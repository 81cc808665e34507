// Regions and a port's clip, with the mapping between logical and device coordinates.
#include "graphics/region.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "graphics/port_draw.h"
#include "tests/graphics/surfaces.h"

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);

std::vector<Rect> RectsOf(HRGN region) {
  std::vector<uint8_t> bytes(GetRegionData(region, 0, nullptr));
  auto* data = reinterpret_cast<RGNDATA*>(bytes.data());
  GetRegionData(region, bytes.size(), data);
  const auto* rects = reinterpret_cast<const Rect*>(data->Buffer);
  return std::vector<Rect>(rects, rects + data->rdh.nCount);
}

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

TEST(Region, MapMovesBetweenEqualFramesAndScalesBetweenOthers) {
  HRGN region = RegionNew(), second = RegionNew();
  ASSERT_EQ(RegionSetRect(region, Rect{0, 0, 10, 10}), kOk);
  ASSERT_EQ(RegionSetRect(second, Rect{20, 20, 30, 30}), kOk);
  ASSERT_EQ(RegionUnion(region, region, second), kOk);
  HRGN copy = RegionCopyNew(region);
  ASSERT_EQ(RegionMap(region, Rect{100, 50, 140, 90}, Rect{0, 0, 40, 40}), kOk);
  EXPECT_EQ(RectsOf(region), (std::vector<Rect>{{100, 50, 110, 60}, {120, 70, 130, 80}}));
  // Twice as wide, half as high.
  ASSERT_EQ(RegionMap(region, Rect{0, 0, 80, 20}, Rect{100, 50, 140, 90}), kOk);
  EXPECT_EQ(RectsOf(region), (std::vector<Rect>{{0, 0, 20, 5}, {40, 10, 60, 15}}));
  EXPECT_EQ(BoundsOf(copy), (Rect{0, 0, 30, 30}));  // the copy is a region of its own

  // Shrunk until the narrow part vanishes; from a frame of no width there is nothing to scale by.
  ASSERT_EQ(RegionSetRect(second, Rect{20, 0, 21, 10}), kOk);
  ASSERT_EQ(RegionSetRect(region, Rect{0, 0, 10, 10}), kOk);
  ASSERT_EQ(RegionUnion(region, region, second), kOk);
  ASSERT_EQ(RegionMap(region, Rect{0, 0, 4, 10}, Rect{0, 0, 40, 10}), kOk);
  EXPECT_EQ(RectsOf(region), (std::vector<Rect>{{0, 0, 1, 10}}));
  EXPECT_EQ(RegionMap(region, Rect{0, 0, 8, 2}, Rect{5, 5, 5, 9}), kErrArgument);
  for (HRGN r : {region, second, copy}) RegionDispose(r);
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

  // Through a scaled mapping, two logical units to a pixel: the region is scaled both ways.
  SetMapMode(surface_.dc(), MM_ANISOTROPIC);
  SetWindowExtEx(surface_.dc(), 2, 2, nullptr);
  SetViewportExtEx(surface_.dc(), 1, 1, nullptr);
  ASSERT_EQ(RegionSetRect(clip_, Rect{0, 0, 20, 40}), kOk);
  ASSERT_EQ(PortSetClip(port_, clip_), kOk);
  EXPECT_EQ(DeviceClip(surface_.dc()), (Rect{100, 50, 110, 70}));
  RegionDispose(read_);
  ASSERT_EQ(PortGetClip(port_, &read_), kOk);
  EXPECT_TRUE(EqualRgn(read_, clip_));

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

}  // namespace
