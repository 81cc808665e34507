// Ports under Wine: opening and closing on windows and callers' contexts, and how the drawing state
// reaches the context, read back from the pixels of DIB sections.
#include "graphics/port.h"

#include <gtest/gtest.h>

#include "graphics/graphics_init.h"
#include "graphics/port_draw.h"
#include "graphics/port_text.h"
#include "graphics/region.h"
#include "runtime/platform.h"
#include "tests/graphics/gdi_objects.h"
#include "tests/graphics/surfaces.h"

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kStockGrey = RGB(0x80, 0x80, 0x80);
// Rows 0x80, 0x40, ...: the 1 bits (background) run down the diagonal from the top left.
constexpr Pattern kDiagonal{{0x80, 0, 0x40, 0, 0x20, 0, 0x10, 0, 0x08, 0, 0x04, 0, 0x02, 0, 0x01, 0}};

TEST(GraphicsInit, StartsThePlatformOnceAndStopsWithIt) {
  ASSERT_FALSE(PlatformIsStarted());
  for (int round = 0; round < 2; ++round) {
    ASSERT_EQ(GraphicsInit(), kOk);
    EXPECT_EQ(GraphicsInit(), kOk);
    EXPECT_TRUE(PlatformIsStarted() && GraphicsIsStarted());
    PlatformStop();  // runs the layer's release routine
    EXPECT_FALSE(GraphicsIsStarted()) << "round " << round;
  }
}

TEST(Port, CallerContextIsNeitherReleasedNorRobbedOfItsObjects) {
  TestWindow window;
  HDC dc = GetDC(window.handle());
  const struct {
    HGDIOBJ own;
    UINT kind;
    int stock;
  } objects[] = {{CreatePen(PS_DOT, 1, RGB(1, 2, 3)), OBJ_PEN, BLACK_PEN},
                 {CreateSolidBrush(RGB(4, 5, 6)), OBJ_BRUSH, BLACK_BRUSH},
                 {CreateFontA(17, 0, 0, 0, 400, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, nullptr), OBJ_FONT, ANSI_VAR_FONT}};
  for (bool restore : {true, false}) {
    for (const auto& o : objects) SelectObject(dc, o.own);
    GraphicsPort* port;
    ASSERT_EQ(PortOpenDevice(dc, restore, &port), kOk);
    // Objects of the layer's own, replaced several times.
    ASSERT_EQ(PortSetFill(port, nullptr, nullptr, &kDiagonal), kOk);
    ASSERT_EQ(PortSetPen(port, nullptr, nullptr, &kDiagonal, 3), kOk);
    ASSERT_EQ(PortSetPen(port, nullptr, nullptr, &kSolidPattern, 2), kOk);
    ASSERT_EQ(PortSetFont(port, nullptr, nullptr, 0, 20, kTextBold, kAlignLeft), kOk);
    ASSERT_EQ(PortSetTextSize(port, 30), kOk);
    ASSERT_EQ(PortClose(port), kOk);
    for (const auto& o : objects) {
      // Restored: the caller's own objects are back; else the stock ones. The caller's live either way.
      EXPECT_EQ(GetCurrentObject(dc, o.kind), restore ? o.own : GetStockObject(o.stock)) << restore;
      EXPECT_EQ(GetObjectType(o.own), o.kind) << restore;
    }
  }
  // Still the caller's to release: a context released twice answers 0 the second time.
  EXPECT_EQ(ReleaseDC(window.handle(), dc), 1);
  for (const auto& o : objects) DeleteObject(o.own);
}

using PortTest = PortOnSurface<16, 20, kWhite>;

TEST_F(PortTest, SolidFillsTakeStockBrushesForBlackTheTwoMiddleGreysAndWhite) {
  const std::pair<Colour, int> cases[] = {  // -1: a brush of its own
      {Opaque(0, 0, 0), BLACK_BRUSH},         {Opaque(0x80, 0x80, 0x80), GRAY_BRUSH},
      {Opaque(0x7F, 0x7F, 0x7F), GRAY_BRUSH}, {Opaque(255, 255, 255), WHITE_BRUSH},
      {Opaque(0x81, 0x81, 0x81), -1},         {Opaque(0x7F, 0x7F, 0x7E), -1}};
  for (const auto& [colour, stock] : cases) {
    ASSERT_EQ(PortSetFill(port_, &colour, nullptr, &kSolidPattern), kOk);
    const HGDIOBJ brush = GetCurrentObject(surface_.dc(), OBJ_BRUSH);
    for (int other : {BLACK_BRUSH, GRAY_BRUSH, WHITE_BRUSH})
      EXPECT_EQ(brush == GetStockObject(other), other == stock) << std::hex << Gdi(colour) << " " << other;
    ASSERT_EQ(PortPaintRect(port_, Rect{0, 0, 16, 16}), kOk);
    EXPECT_EQ(surface_.Pixel(3, 3), stock == GRAY_BRUSH ? kStockGrey : Gdi(colour)) << std::hex << Gdi(colour);
  }
  // Erasing makes the same choice from the background colour.
  ASSERT_EQ(PortSetBackColour(port_, Opaque(0x7F, 0x7F, 0x7F)), kOk);
  ASSERT_EQ(PortEraseRect(port_, Rect{0, 0, 16, 16}), kOk);
  EXPECT_EQ(surface_.Count(Rect{0, 0, 16, 16}, kStockGrey), 256);

  // A pattern: 0 bits in the foreground colour, 1 bits in the background colour, rows top down.
  const Colour fore = Opaque(0, 0, 200), back = Opaque(250, 250, 0);
  ASSERT_EQ(PortSetFill(port_, &fore, &back, &kDiagonal), kOk);
  ASSERT_EQ(PortPaintRect(port_, Rect{0, 0, 16, 16}), kOk);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) ASSERT_EQ(surface_.Pixel(x, y), Gdi(x % 8 == y % 8 ? back : fore)) << x << "," << y;
}

TEST_F(PortTest, PaintedRectanglesAreLimitedTo32000PixelsEachWay) {
  // The origin brings the place where the limit falls into view: painted on one side of x = 8.
  const std::tuple<Rect, int32_t, bool> cases[] = {
      {{0, 0, 100000, 20}, -31992, true},        // kept from its left end: to 32000
      {{-100000, 0, 5, 20}, 32003, false},       // kept from its right end: from -31995
      {{20000, 0, 120000, 20}, -53992, false},   // recentred: 54000 to 86000
      {{20000, 0, 120000, 20}, -85992, true},
  };
  for (const auto& [rect, originX, paintedLeft] : cases) {
    surface_.Fill(kWhite);
    ASSERT_EQ(PortSetOrigin(port_, originX, 0, nullptr), kOk);
    ASSERT_EQ(PortPaintRect(port_, rect), kOk);
    EXPECT_EQ(surface_.BoundsOfOther(kWhite), (paintedLeft ? Rect{0, 0, 8, 20} : Rect{8, 0, 16, 20})) << originX;
  }
}

TEST_F(PortTest, WindowPortsInvalidateOnlyWhileTheWindowIsVisible) {
  EXPECT_EQ(PortInvalidateRect(port_, Rect{0, 0, 5, 5}), kErrState) << "no window";
  GraphicsPort* port;
  EXPECT_EQ(PortOpenWindow(reinterpret_cast<HWND>(intptr_t{0x7FFF0}), false, &port), kErrGraphics);
  EXPECT_EQ(port, nullptr);
  TestWindow window;
  ASSERT_EQ(PortOpenWindow(window.handle(), false, &port), kOk);
  EXPECT_EQ(PortInvalidateRect(port, Rect{10, 10, 20, 20}), kOk);  // hidden: succeeds, does nothing
  ShowWindow(window.handle(), SW_SHOWNOACTIVATE);
  ValidateRect(window.handle(), nullptr);
  ASSERT_EQ(PortSetOrigin(port, 5, 7, nullptr), kOk);  // logical coordinates
  ASSERT_EQ(PortInvalidateRect(port, Rect{10, 10, 20, 20}), kOk);
  RECT update;
  ASSERT_TRUE(GetUpdateRect(window.handle(), &update, FALSE));
  EXPECT_EQ((Rect{update.left, update.top, update.right, update.bottom}), (Rect{15, 17, 25, 27}));
  ASSERT_EQ(PortValidateRect(port, Rect{0, 0, 100, 100}), kOk);
  EXPECT_FALSE(GetUpdateRect(window.handle(), &update, FALSE));
  EXPECT_EQ(PortClose(port), kOk);
}

// Each cycle makes and replaces pens, brushes (solid and patterned), fonts and clip regions, on a
// window's context and on a caller's context with its state saved.
TEST(Port, TenThousandCyclesLeaveNoGdiObjectBehind) {
  TestWindow window;
  ShowWindow(window.handle(), SW_SHOWNOACTIVATE);
  DibSurface surface(64, 32);
  const Colour grey = Opaque(0x33, 0x33, 0x33);
  const auto cycle = [&](int round) {
    GraphicsPort* port;
    const Status opened = round % 2 ? PortOpenDevice(surface.dc(), true, &port)
                                    : PortOpenWindow(window.handle(), false, &port);
    if (opened != kOk) return opened;
    Status status = PortReset(port, kResetPenAndFill | kResetText | kResetClip | kResetOrigin);
    if (status == kOk) status = PortSetFill(port, &grey, nullptr, &kDiagonal);
    if (status == kOk) status = PortPaintRect(port, Rect{0, 0, 30, 30});
    if (status == kOk) status = PortSetFill(port, &grey, nullptr, &kSolidPattern);
    if (status == kOk) status = PortEraseRect(port, Rect{0, 0, 5, 5});
    if (status == kOk) status = PortSetPen(port, nullptr, nullptr, &kDiagonal, 3);
    if (status == kOk) status = PortFrameRect(port, Rect{0, 0, 30, 30});
    if (status == kOk) status = PortSetPen(port, nullptr, nullptr, &kSolidPattern, 2);
    if (status == kOk) status = PortLine(port, 0, 20, 40, 20);
    if (status == kOk) status = PortIntersectClipRect(port, Rect{2, 2, 10, 10});
    if (status == kOk) status = PortSetFont(port, nullptr, "Arial,sans-serif", 0, 14, round % 4, kAlignLeft);
    if (status == kOk) status = PortSetTextSize(port, 15);
    if (status == kOk) status = PortDrawTextAt(port, 2, 20, "leak", 4);
    const Status closed = PortClose(port);
    return status != kOk ? status : closed;
  };
  // The first use of the window's context makes what the window system keeps for it.
  ASSERT_EQ(cycle(0), kOk);
  ASSERT_EQ(cycle(1), kOk);
  const long before = GdiObjectLevel();
  // The level is a real count: three brushes held show as three.
  const HBRUSH held[3] = {CreateSolidBrush(1), CreateSolidBrush(2), CreateSolidBrush(3)};
  EXPECT_EQ(GdiObjectLevel(), before + 3);
  for (HBRUSH brush : held) DeleteObject(brush);

  for (int round = 0; round < 10000; ++round) ASSERT_EQ(cycle(round), kOk) << "round " << round;
  EXPECT_EQ(GdiObjectLevel(), before);
}

}  // namespace
