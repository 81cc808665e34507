// Regions and a port's clip, with the mapping between logical and device coordinates.
#include "graphics/region.h"

#include <gtest/gtest.h>

#include <vector>

#include "graphics/port_draw.h"
#include "tests/graphics/dib_surface.h"

namespace {

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);

// The rectangles a region is made of.
std::vector<Rect> RectsOf(HRGN region) {
  const DWORD size = GetRegionData(region, 0, nullptr);
  std::vector<uint8_t> bytes(size);
  auto* data = reinterpret_cast<RGNDATA*>(bytes.data());
  GetRegionData(region, size, data);
  std::vector<Rect> rects;
  const auto* rect = reinterpret_cast<const RECT*>(data->Buffer);
  for (DWORD i = 0; i < data->rdh.nCount; ++i) rects.push_back(Rect{rect[i].left, rect[i].top, rect[i].right, rect[i].bottom});
  return rects;
}

// Whether the context has a clip region, and its box in device coordinates.
bool DeviceClip(HDC dc, Rect* box) {
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  const bool clipped = GetClipRgn(dc, region) == 1;
  RECT rect{};
  GetRgnBox(region, &rect);
  DeleteObject(region);
  *box = Rect{rect.left, rect.top, rect.right, rect.bottom};
  return clipped;
}

class ClipTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(PortOpenDevice(surface_.dc(), false, &port_), kOk);
    ASSERT_EQ(PortReset(port_, kResetPenAndFill), kOk);
  }
  void TearDown() override { PortClose(port_); }

  // Paints everything in view black and tells where the paint landed.
  Rect PaintedBox() {
    surface_.Fill(kWhite);
    EXPECT_EQ(PortPaintRect(port_, Rect{-1000, -1000, 1000, 1000}), kOk);
    return surface_.BoundsOfOther(kWhite);
  }

  DibSurface surface_{200, 100, kWhite};
  GraphicsPort* port_ = nullptr;
};

TEST(Region, MadeSetJoinedAndCopied) {
  HRGN a = RegionNew();
  HRGN b = RegionNew();
  HRGN joined = RegionNew();
  ASSERT_TRUE(a && b && joined);
  Rect bounds;
  ASSERT_EQ(RegionBounds(a, &bounds), kOk);
  EXPECT_EQ(bounds, (Rect{0, 0, 0, 0}));

  ASSERT_EQ(RegionSetRect(a, Rect{0, 0, 10, 10}), kOk);
  ASSERT_EQ(RegionSetRect(b, Rect{20, 5, 30, 100000}), kOk);  // limited like any rectangle
  ASSERT_EQ(RegionBounds(b, &bounds), kOk);
  EXPECT_EQ(bounds, (Rect{20, 5, 30, 32005}));
  ASSERT_EQ(RegionUnion(joined, a, b), kOk);
  ASSERT_EQ(RegionBounds(joined, &bounds), kOk);
  EXPECT_EQ(bounds, (Rect{0, 0, 30, 32005}));
  EXPECT_FALSE(PtInRegion(joined, 15, 5));

  HRGN copy = RegionCopyNew(joined);
  ASSERT_NE(copy, nullptr);
  EXPECT_TRUE(EqualRgn(copy, joined));
  ASSERT_EQ(RegionSetRect(joined, Rect{1, 1, 2, 2}), kOk);
  EXPECT_TRUE(PtInRegion(copy, 25, 50));  // a copy of its own
  for (HRGN region : {a, b, joined, copy}) RegionDispose(region);
  RegionDispose(nullptr);
}

TEST(Region, MapMovesBetweenEqualFramesAndScalesBetweenOthers) {
  HRGN region = RegionNew();
  HRGN second = CreateRectRgn(20, 20, 30, 30);
  ASSERT_EQ(RegionSetRect(region, Rect{0, 0, 10, 10}), kOk);
  ASSERT_EQ(RegionUnion(region, region, second), kOk);

  ASSERT_EQ(RegionMap(region, Rect{100, 50, 140, 90}, Rect{0, 0, 40, 40}), kOk);
  EXPECT_EQ(RectsOf(region), (std::vector<Rect>{{100, 50, 110, 60}, {120, 70, 130, 80}}));

  // Twice as wide, half as high.
  ASSERT_EQ(RegionMap(region, Rect{0, 0, 80, 20}, Rect{100, 50, 140, 90}), kOk);
  EXPECT_EQ(RectsOf(region), (std::vector<Rect>{{0, 0, 20, 5}, {40, 10, 60, 15}}));
  Rect bounds;
  ASSERT_EQ(RegionBounds(region, &bounds), kOk);
  EXPECT_EQ(bounds, (Rect{0, 0, 60, 15}));

  // Shrunk until the narrow part vanishes; from a frame of no width there is nothing to scale by.
  ASSERT_EQ(RegionSetRect(region, Rect{0, 0, 10, 10}), kOk);
  ASSERT_EQ(RegionSetRect(second, Rect{20, 0, 21, 10}), kOk);
  ASSERT_EQ(RegionUnion(region, region, second), kOk);
  ASSERT_EQ(RegionMap(region, Rect{0, 0, 4, 10}, Rect{0, 0, 40, 10}), kOk);
  EXPECT_EQ(RectsOf(region), (std::vector<Rect>{{0, 0, 1, 10}}));
  EXPECT_EQ(RegionMap(region, Rect{0, 0, 8, 2}, Rect{5, 5, 5, 9}), kErrArgument);
  RegionDispose(region);
  RegionDispose(second);
}

TEST(Region, WideOpenIsOneRectangleReaching32000EachWay) {
  struct Case {
    Rect rect;
    bool wideOpen;
  };
  const Case cases[] = {
      {kWholePlane, true},
      {{-32000, -32000, 32000, 32000}, true},
      {{-31999, -32000, 32000, 32000}, false},
      {{-32000, -32000, 32000, 31999}, false},
      {{-16000, -16000, 16000, 16000}, false},
  };
  for (const Case& c : cases) {
    HRGN region = CreateRectRgn(c.rect.left, c.rect.top, c.rect.right, c.rect.bottom);
    EXPECT_EQ(RegionIsWideOpen(region), c.wideOpen) << c.rect.left << "," << c.rect.bottom;
    DeleteObject(region);
  }
  HRGN twoParts = CreateRectRgn(-40000, -40000, 40000, 40000);
  HRGN hole = CreateRectRgn(0, 0, 1, 1);
  CombineRgn(twoParts, twoParts, hole, RGN_DIFF);
  EXPECT_FALSE(RegionIsWideOpen(twoParts));
  DeleteObject(twoParts);
  DeleteObject(hole);
}

TEST_F(ClipTest, ClipFollowsTheOriginToDevicePixelsAndReadsBackLogical) {
  ASSERT_EQ(PortSetOrigin(port_, 100, 50, nullptr), kOk);
  HRGN clip = CreateRectRgn(0, 0, 10, 10);
  ASSERT_EQ(PortSetClip(port_, clip), kOk);
  DeleteObject(clip);

  Rect device;
  ASSERT_TRUE(DeviceClip(surface_.dc(), &device));
  EXPECT_EQ(device, (Rect{100, 50, 110, 60}));
  EXPECT_EQ(PaintedBox(), (Rect{100, 50, 110, 60}));

  HRGN read;
  ASSERT_EQ(PortGetClip(port_, &read), kOk);
  Rect bounds;
  ASSERT_EQ(RegionBounds(read, &bounds), kOk);
  EXPECT_EQ(bounds, (Rect{0, 0, 10, 10}));
  RegionDispose(read);

  // A rectangle clip, and intersections, take the same way.
  ASSERT_EQ(PortSetClipRect(port_, Rect{-20, -10, 30, 40}), kOk);
  EXPECT_EQ(PaintedBox(), (Rect{80, 40, 130, 90}));
  ASSERT_EQ(PortIntersectClipRect(port_, Rect{20, 30, 90, 90}), kOk);
  EXPECT_EQ(PaintedBox(), (Rect{120, 80, 130, 90}));
  HRGN cut = CreateRectRgn(25, 0, 100, 100);
  ASSERT_EQ(PortIntersectClip(port_, cut), kOk);
  EXPECT_EQ(PaintedBox(), (Rect{125, 80, 130, 90}));
  DeleteObject(cut);
}

TEST_F(ClipTest, WideOpenRegionRemovesTheClipAndMinus16000To16000DoesNot) {
  ASSERT_EQ(PortSetClipRect(port_, Rect{0, 0, 10, 10}), kOk);
  HRGN wideOpen = CreateRectRgn(-32000, -32000, 32000, 32000);
  ASSERT_EQ(PortSetClip(port_, wideOpen), kOk);
  Rect device;
  EXPECT_FALSE(DeviceClip(surface_.dc(), &device));
  EXPECT_EQ(PaintedBox(), (Rect{0, 0, 200, 100}));

  // Read back without a clip: the whole plane.
  HRGN read;
  ASSERT_EQ(PortGetClip(port_, &read), kOk);
  Rect bounds;
  ASSERT_EQ(RegionBounds(read, &bounds), kOk);
  EXPECT_EQ(bounds, kWholePlane);
  EXPECT_TRUE(RegionIsWideOpen(read));

  // Intersecting with the whole plane changes nothing, wherever the origin is.
  ASSERT_EQ(PortSetOrigin(port_, 10, 10, nullptr), kOk);
  ASSERT_EQ(PortIntersectClip(port_, read), kOk);
  EXPECT_FALSE(DeviceClip(surface_.dc(), &device));
  ASSERT_EQ(PortSetOrigin(port_, 0, 0, nullptr), kOk);
  RegionDispose(read);

  HRGN large = CreateRectRgn(-16000, -16000, 16000, 16000);
  ASSERT_EQ(PortSetClip(port_, large), kOk);
  ASSERT_TRUE(DeviceClip(surface_.dc(), &device));
  EXPECT_EQ(device, (Rect{-16000, -16000, 16000, 16000}));
  DeleteObject(large);
  DeleteObject(wideOpen);
}

TEST_F(ClipTest, ScaledMappingCarriesTheClipBothWays) {
  // Two logical units per device pixel, shifted by the origin.
  SetMapMode(surface_.dc(), MM_ANISOTROPIC);
  SetWindowExtEx(surface_.dc(), 2, 2, nullptr);
  SetViewportExtEx(surface_.dc(), 1, 1, nullptr);
  SetViewportOrgEx(surface_.dc(), 10, 0, nullptr);

  HRGN clip = CreateRectRgn(0, 0, 20, 20);
  HRGN second = CreateRectRgn(40, 40, 60, 80);
  CombineRgn(clip, clip, second, RGN_OR);
  ASSERT_EQ(PortSetClip(port_, clip), kOk);
  HRGN device = CreateRectRgn(0, 0, 0, 0);
  ASSERT_EQ(GetClipRgn(surface_.dc(), device), 1);
  EXPECT_EQ(RectsOf(device), (std::vector<Rect>{{10, 0, 20, 10}, {30, 20, 40, 40}}));

  HRGN read;
  ASSERT_EQ(PortGetClip(port_, &read), kOk);
  EXPECT_TRUE(EqualRgn(read, clip));
  for (HRGN region : {clip, second, device, read}) DeleteObject(region);
}

}  // namespace
