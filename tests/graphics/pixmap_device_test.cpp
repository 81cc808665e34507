// Pixel maps on devices: copies onto contexts in every mode, offscreen ports, tiling and window maps,
// read back from DIB sections.
#include "graphics/pixmap_device.h"

#include <gtest/gtest.h>

#include "graphics/port_draw.h"
#include "tests/graphics/pixmap_test_support.h"
#include "tests/graphics/surfaces.h"

namespace {

constexpr COLORREF kGround = RGB(0, 255, 0);
constexpr uint32_t kRed = 0xFFFF0000, kBlue = 0xFF0000FF;

// Every pixel of a small map a colour (or, in an indexed map, an index) of its own.
uint32_t Distinct(int32_t x, int32_t y) {
  return 0xFF000000u | uint32_t(x * 40 + 10) << 16 | uint32_t(y * 60 + 5) << 8 | uint32_t(x * 50 + y * 20 + 10);
}
COLORREF GdiOf(uint32_t argb) { return RGB(argb >> 16 & 255, argb >> 8 & 255, argb & 255); }

TEST(PixmapDevice, PlainCopiesKeepOrScaleTheSource) {
  for (uint32_t format : {kPixel32, kPixel565, kPixel888, kPixelIndexed}) {
    SCOPED_TRACE(format);
    UniquePixmap map = NewMap(4, 2, format, &SystemColourTable());
    Fill(map.get(), Distinct);
    DibSurface surface(12, 10, kGround);
    // At (1, 1) as it is, below it twice the size, and a source rectangle hanging off the map's left:
    // only the part on the map arrives, in proportion.
    const Rect at = {1, 1, 5, 3}, stretched = {0, 4, 8, 8}, from = {-2, 0, 2, 2}, to = {4, 8, 8, 10};
    ASSERT_EQ(PixmapToDevice(surface.dc(), &at, map.get(), nullptr, nullptr, nullptr), kOk);
    ASSERT_EQ(PixmapToDevice(surface.dc(), &stretched, map.get(), nullptr, nullptr, nullptr), kOk);
    ASSERT_EQ(PixmapToDevice(surface.dc(), &to, map.get(), nullptr, nullptr, &from), kOk);
    for (int32_t y = 0; y < 2; ++y) {
      for (int32_t x = 0; x < 4; ++x) {
        const COLORREF expected = GdiOf(ArgbAt(map.get(), x, y));
        EXPECT_EQ(surface.Pixel(1 + x, 1 + y), expected) << x << "," << y;
        EXPECT_EQ(surface.Pixel(2 * x + 1, 4 + 2 * y + 1), expected) << "stretched " << x << "," << y;
      }
    }
    EXPECT_TRUE(surface.Pixel(0, 0) == kGround && surface.Pixel(5, 1) == kGround);
    EXPECT_EQ(surface.Pixel(5, 8), kGround);
    EXPECT_EQ(surface.Pixel(6, 8), GdiOf(ArgbAt(map.get(), 0, 0)));
  }
}

TEST(PixmapDevice, KeyColourPixelsLeaveTheDeviceAlone) {
  UniquePixmap indexed = NewMap(4, 2, kPixelIndexed, &SystemColourTable());
  Fill(indexed.get(), [](int32_t x, int32_t y) { return (x + y) % 2 == 0 ? 0 : 35; });
  DibSurface surface(8, 4, kGround);
  const TransferMode key = {kTransferKeyColour, 0, 0, 0, 0};
  const Rect doubled = {4, 0, 8, 4}, half = {0, 0, 2, 2};
  ASSERT_EQ(PixmapToDevice(surface.dc(), nullptr, indexed.get(), nullptr, &key, nullptr), kOk);
  ASSERT_EQ(PixmapToDevice(surface.dc(), &doubled, indexed.get(), nullptr, &key, &half), kOk);
  for (int32_t y = 0; y < 2; ++y)
    for (int32_t x = 0; x < 4; ++x) EXPECT_EQ(surface.Pixel(x, y), (x + y) % 2 == 0 ? kGround : RGB(255, 0, 0));
  EXPECT_EQ(surface.Pixel(4, 0), kGround);
  EXPECT_EQ(surface.Pixel(7, 1), RGB(255, 0, 0)) << "stretched through the mask";
  EXPECT_EQ(surface.Pixel(7, 3), kGround);

  UniquePixmap direct = NewMap(2, 1, kPixel565);
  Fill(direct.get(), [](int32_t x, int32_t) { return x ? kRed : kBlue; });
  const TransferMode red = {kTransferKeyColour, 0, 0xFF, 0, 0};
  DibSurface second(2, 1, kGround);
  ASSERT_EQ(PixmapToDevice(second.dc(), nullptr, direct.get(), nullptr, &red, nullptr), kOk);
  EXPECT_TRUE(second.Pixel(0, 0) == RGB(0, 0, 255) && second.Pixel(1, 0) == kGround);
}

TEST(PixmapDevice, BlendingModesCombineWithWhatTheDeviceHolds) {
  UniquePixmap source = NewMap(4, 1, kPixel32);
  Fill(source.get(), [](int32_t, int32_t) { return kRed; });
  UniquePixmap mask = NewMap(4, 1, kPixelIndexed, &GreyColourTable());
  Fill(mask.get(), [](int32_t x, int32_t) { return x == 0 ? 0 : x == 1 ? 255 : 128; });
  DibSurface surface(4, 2, RGB(0, 0, 255));
  const TransferMode none = {kTransferBlend, 0, 0, 0, 0};
  const Rect below = {0, 1, 4, 2};
  ASSERT_EQ(PixmapToDevice(surface.dc(), nullptr, source.get(), mask.get(), nullptr, nullptr), kOk);
  ASSERT_EQ(PixmapToDevice(surface.dc(), &below, source.get(), nullptr, &none, nullptr), kOk);
  EXPECT_EQ(surface.Pixel(0, 0), RGB(0, 0, 255));
  EXPECT_EQ(surface.Pixel(1, 0), RGB(255, 0, 0));
  EXPECT_EQ(surface.Pixel(2, 0), RGB(128, 0, 127)) << "weight 129 of 256";
  EXPECT_EQ(surface.Count(Rect{0, 1, 4, 2}, RGB(0, 0, 255)), 4) << "alpha 0 draws nothing";
}

TEST(PixmapDevice, OffscreenPortsKeepBothCopiesInStep) {
  HDC screen = GetDC(nullptr);
  // 5-6-5 needs bit fields: a compatible bitmap with memory of its own; 32 bits: a DIB section.
  for (uint32_t format : {kPixel565, kPixel32}) {
    SCOPED_TRACE(format);
    UniquePixmap map(PixmapNewForDevice(screen, Rect{0, 0, 8, 4}, format, nullptr, true));
    ASSERT_NE(map, nullptr);
    EXPECT_EQ(map->buffer.kind, format == kPixel565 ? PixelBufferKind::CompatibleBitmap : PixelBufferKind::DibSection);
    GraphicsPort* port = map->links.port;
    ASSERT_TRUE(port && port->links.pixmap == map.get());
    EXPECT_EQ(PortClose(port), kErrState) << "the port goes with its map";

    Fill(map.get(), [](int32_t, int32_t) { return kBlue; });  // memory first
    ASSERT_EQ(PortReset(port, kResetPenAndFill), kOk);
    const Colour red = Opaque(255, 0, 0);
    ASSERT_EQ(PortSetFill(port, &red, nullptr, nullptr), kOk);
    ASSERT_EQ(PortPaintRect(port, Rect{0, 0, 2, 4}), kOk);  // then GDI
    EXPECT_EQ(ArgbAt(map.get(), 1, 1), kRed) << "locking reads what GDI drew";
    EXPECT_EQ(ArgbAt(map.get(), 5, 1), kBlue) << "GDI drew over the memory copy, not over an old device copy";

    // A copy into the port's own map is a memory copy; GDI sees it before it next draws.
    UniquePixmap green = NewMap(1, 1, kPixel32);
    Fill(green.get(), [](int32_t, int32_t) { return 0xFF00FF00u; });
    const Rect at = {7, 3, 8, 4};
    ASSERT_EQ(PortCopyPixmap(port, green.get(), nullptr, nullptr, nullptr, &at), kOk);
    ASSERT_EQ(PortPaintRect(port, Rect{0, 0, 1, 1}), kOk);
    EXPECT_EQ(ArgbAt(map.get(), 7, 3), 0xFF00FF00u);
    DibSurface shown(8, 4, kGround);
    ASSERT_EQ(PixmapShowOnWindow(map.get(), shown.dc(), nullptr, 0), kOk);
    EXPECT_TRUE(shown.Pixel(7, 3) == RGB(0, 255, 0) && shown.Pixel(1, 2) == RGB(255, 0, 0));

    // New bounds: the port draws into the new picture.
    ASSERT_EQ(PixmapSetBounds(map.get(), nullptr, Rect{0, 0, 16, 8}), kOk);
    EXPECT_EQ(ArgbAt(map.get(), 3, 3), kRed) << "scaled";
    ASSERT_EQ(PortPaintRect(port, Rect{12, 6, 16, 8}), kOk);
    EXPECT_EQ(ArgbAt(map.get(), 15, 7), kRed);
  }
  ReleaseDC(nullptr, screen);

  TestWindow window;
  Rect bounds{};
  UniquePixmap map(PixmapNewForWindow(window.handle(), &bounds));
  ASSERT_NE(map, nullptr);
  EXPECT_EQ(bounds, (Rect{0, 0, 200, 100})) << "the window's client size";
  EXPECT_EQ(map->bounds, bounds);
  EXPECT_TRUE(map->links.port && PixmapIsDirect(map.get()));
}

using TileTest = PortOnSurface<12, 9, kGround>;

TEST_F(TileTest, TilesLieEdgeToEdgeFromTheOrigin) {
  UniquePixmap tile = NewMap(3, 2, kPixel32);
  Fill(tile.get(), Distinct);
  const Rect fill = {2, 1, 9, 6};
  ASSERT_EQ(PortTilePixmap(port_, &fill, Point{1, 1}, tile.get(), nullptr, nullptr, nullptr), kOk);
  for (int32_t y = 0; y < 9; ++y) {
    for (int32_t x = 0; x < 12; ++x) {
      const bool inside = x >= fill.left && x < fill.right && y >= fill.top && y < fill.bottom;
      EXPECT_EQ(surface_.Pixel(x, y), inside ? GdiOf(Distinct((x - 1) % 3, (y - 1) % 2)) : kGround) << x << "," << y;
    }
  }
  POINT origin;
  GetViewportOrgEx(surface_.dc(), &origin);
  EXPECT_EQ(origin.x, 0) << "the origin is put back";
  surface_.Fill(kGround);
  ASSERT_EQ(PortPaintRect(port_, Rect{0, 0, 12, 9}), kOk);
  EXPECT_NE(surface_.Pixel(11, 8), kGround) << "the clip is put back";

  // Without a rectangle the whole surface; a negative origin starts mid-tile.
  ASSERT_EQ(PortTilePixmap(port_, nullptr, Point{-1, 0}, tile.get(), nullptr, nullptr, nullptr), kOk);
  EXPECT_TRUE(surface_.Pixel(0, 0) == GdiOf(Distinct(1, 0)) && surface_.Pixel(11, 8) == GdiOf(Distinct(0, 0)));
}

}  // namespace
