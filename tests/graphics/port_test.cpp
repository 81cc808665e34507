// Ports under Wine: opening and closing on windows and on callers' contexts, the drawing state and how
// it reaches the context, read back from the pixels of DIB sections.
#include "graphics/port.h"

#include <gtest/gtest.h>

#include "graphics/graphics_init.h"
#include "graphics/port_draw.h"
#include "graphics/port_text.h"
#include "graphics/region.h"
#include "runtime/platform.h"
#include "tests/graphics/dib_surface.h"
#include "tests/graphics/gdi_objects.h"

namespace {

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);

// Rows 0x80, 0x40, ... : the 1 bits (background) run down the diagonal from the top left.
constexpr Pattern kDiagonal{{0x80, 0, 0x40, 0, 0x20, 0, 0x10, 0, 0x08, 0, 0x04, 0, 0x02, 0, 0x01, 0}};

class OpenPort {
 public:
  explicit OpenPort(HDC dc, bool restore = false) { status_ = PortOpenDevice(dc, restore, &port_); }
  ~OpenPort() { PortClose(port_); }
  OpenPort(const OpenPort&) = delete;
  OpenPort& operator=(const OpenPort&) = delete;
  GraphicsPort* get() const { return port_; }
  GraphicsPort* operator->() const { return port_; }
  Status status() const { return status_; }

 private:
  GraphicsPort* port_ = nullptr;
  Status status_;
};

Rect ClipBox(HDC dc) {
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  RECT box{-1, -1, -1, -1};
  if (GetClipRgn(dc, region) == 1) GetRgnBox(region, &box);
  DeleteObject(region);
  return Rect{box.left, box.top, box.right, box.bottom};
}

TEST(GraphicsInit, StartsThePlatformOnceAndStopsWithIt) {
  ASSERT_FALSE(PlatformIsStarted());
  for (int round = 0; round < 2; ++round) {
    ASSERT_EQ(GraphicsInit(), kOk);
    EXPECT_TRUE(PlatformIsStarted());
    EXPECT_TRUE(GraphicsIsStarted());
    EXPECT_EQ(GraphicsInit(), kOk);
    PlatformStop();  // runs the layer's release routine
    EXPECT_FALSE(GraphicsIsStarted()) << "round " << round;
  }
}

TEST(Port, CallerContextIsNeitherReleasedNorRobbedOfItsObjects) {
  TestWindow window;
  HDC dc = GetDC(window.handle());
  ASSERT_NE(dc, nullptr);
  HPEN ownPen = CreatePen(PS_DOT, 1, RGB(1, 2, 3));
  HBRUSH ownBrush = CreateSolidBrush(RGB(4, 5, 6));
  HFONT ownFont = CreateFontA(17, 0, 0, 0, 400, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, nullptr);

  for (bool restore : {true, false}) {
    SelectObject(dc, ownPen);
    SelectObject(dc, ownBrush);
    SelectObject(dc, ownFont);
    GraphicsPort* port;
    ASSERT_EQ(PortOpenDevice(dc, restore, &port), kOk);
    EXPECT_EQ(port->dc, dc);
    EXPECT_EQ(port->window, kNoWindow);
    // Objects of the layer's own, replaced several times.
    ASSERT_EQ(PortReset(port, kResetPenAndFill | kResetText | kResetClip | kResetOrigin), kOk);
    ASSERT_EQ(PortSetFill(port, nullptr, nullptr, &kDiagonal), kOk);
    ASSERT_EQ(PortSetPen(port, nullptr, nullptr, &kDiagonal, 3), kOk);
    ASSERT_EQ(PortSetPen(port, nullptr, nullptr, &kSolidPattern, 2), kOk);
    ASSERT_EQ(PortSetFont(port, nullptr, nullptr, 0, 20, kTextBold, kAlignLeft), kOk);
    ASSERT_EQ(PortSetTextSize(port, 30), kOk);
    ASSERT_EQ(PortClose(port), kOk);

    if (restore) {
      EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), ownPen);
      EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), ownBrush);
      EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), ownFont);
    } else {
      EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), GetStockObject(BLACK_PEN));
      EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), GetStockObject(BLACK_BRUSH));
      EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), GetStockObject(ANSI_VAR_FONT));
    }
    // The caller's objects came out alive either way.
    EXPECT_EQ(GetObjectType(ownPen), static_cast<DWORD>(OBJ_PEN)) << restore;
    EXPECT_EQ(GetObjectType(ownBrush), static_cast<DWORD>(OBJ_BRUSH)) << restore;
    EXPECT_EQ(GetObjectType(ownFont), static_cast<DWORD>(OBJ_FONT)) << restore;
  }
  // Still the caller's to release: a context released twice answers 0 the second time.
  EXPECT_EQ(ReleaseDC(window.handle(), dc), 1);
  SelectObject(dc, GetStockObject(BLACK_PEN));
  DeleteObject(ownPen);
  DeleteObject(ownBrush);
  DeleteObject(ownFont);
}

TEST(Port, OpensOnAWindowOrFailsWithNothingLeft) {
  TestWindow window;
  GraphicsPort* port;
  ASSERT_EQ(PortOpenWindow(window.handle(), false, &port), kOk);
  EXPECT_EQ(port->window, window.handle());
  EXPECT_EQ(WindowFromDC(port->dc), window.handle());
  EXPECT_EQ(port->links.world->links.port, port);
  EXPECT_EQ(port->links.pixmap, nullptr);
  EXPECT_EQ(port->fontNumber, kDefaultFontNumber);
  EXPECT_EQ(port->textSize, kDefaultTextSize);
  EXPECT_EQ(port->textAlign, kAlignLeft);
  EXPECT_EQ(PortClose(port), kOk);

  const long before = GdiObjectLevel();
  port = reinterpret_cast<GraphicsPort*>(1);
  EXPECT_EQ(PortOpenWindow(reinterpret_cast<HWND>(static_cast<intptr_t>(0x7FFF0)), false, &port), kErrGraphics);
  EXPECT_EQ(port, nullptr);
  EXPECT_EQ(GdiObjectLevel(), before);
}

TEST(Port, ClipReadAtOpenComesBackWithTheClipReset) {
  DibSurface surface(60, 40);
  HRGN clip = CreateRectRgn(10, 10, 20, 20);
  SelectClipRgn(surface.dc(), clip);
  DeleteObject(clip);
  {
    OpenPort port(surface.dc());
    ASSERT_EQ(port.status(), kOk);
    Rect bounds;
    ASSERT_EQ(RegionBounds(port->clip, &bounds), kOk);
    EXPECT_EQ(bounds, (Rect{10, 10, 20, 20}));
    ASSERT_EQ(PortSetClipRect(port.get(), Rect{0, 0, 50, 30}), kOk);
    ASSERT_EQ(PortReset(port.get(), kResetClip), kOk);
    EXPECT_EQ(ClipBox(surface.dc()), (Rect{10, 10, 20, 20}));
  }
  SelectClipRgn(surface.dc(), nullptr);
  {
    // Unclipped at open: resetting the clip removes one set later.
    OpenPort port(surface.dc());
    ASSERT_EQ(port.status(), kOk);
    EXPECT_TRUE(RegionIsWideOpen(port->clip));
    ASSERT_EQ(PortSetClipRect(port.get(), Rect{0, 0, 5, 5}), kOk);
    ASSERT_EQ(PortReset(port.get(), kResetClip), kOk);
    EXPECT_EQ(ClipBox(surface.dc()), (Rect{-1, -1, -1, -1}));
  }
}

TEST(Port, ResetReturnsItsGroupsToTheDefaults) {
  DibSurface surface(40, 40);
  OpenPort port(surface.dc());
  ASSERT_EQ(port.status(), kOk);
  const Colour red = Opaque(255, 0, 0);
  const Colour blue = Opaque(0, 0, 255);
  ASSERT_EQ(PortSetFill(port.get(), &red, &blue, &kDiagonal), kOk);
  ASSERT_EQ(PortSetPen(port.get(), nullptr, nullptr, &kDiagonal, 4), kOk);
  ASSERT_EQ(PortSetFont(port.get(), nullptr, nullptr, 0, 25, kTextItalic, kAlignRight), kOk);
  ASSERT_EQ(PortSetOrigin(port.get(), 5, 6, nullptr), kOk);
  SetMapMode(surface.dc(), MM_ANISOTROPIC);
  SetBkMode(surface.dc(), TRANSPARENT);
  SetROP2(surface.dc(), R2_NOT);

  // The pen group alone leaves text and origin as they are.
  ASSERT_EQ(PortReset(port.get(), kResetPen), kOk);
  EXPECT_EQ(GetMapMode(surface.dc()), MM_TEXT);
  EXPECT_EQ(GetBkMode(surface.dc()), OPAQUE);
  EXPECT_EQ(GetROP2(surface.dc()), R2_COPYPEN);
  EXPECT_EQ(GetBkColor(surface.dc()), kWhite);
  EXPECT_EQ(GetCurrentObject(surface.dc(), OBJ_PEN), GetStockObject(BLACK_PEN));
  EXPECT_EQ(GetCurrentObject(surface.dc(), OBJ_BRUSH), GetStockObject(BLACK_BRUSH));
  EXPECT_EQ(port->fillPattern, kSolidPattern);
  EXPECT_FALSE(port->hasPenPattern);
  EXPECT_EQ(port->penSize, 0);
  EXPECT_EQ(GetTextColor(surface.dc()), Gdi(red));
  EXPECT_EQ(port->textSize, 25);
  POINT origin;
  GetViewportOrgEx(surface.dc(), &origin);
  EXPECT_EQ(origin.x, 5);

  ASSERT_EQ(PortReset(port.get(), kResetText | kResetOrigin), kOk);
  EXPECT_EQ(GetTextColor(surface.dc()), kBlack);
  EXPECT_EQ(GetTextAlign(surface.dc()), static_cast<UINT>(TA_BASELINE | TA_LEFT | TA_UPDATECP));
  EXPECT_EQ(GetCurrentObject(surface.dc(), OBJ_FONT), GetStockObject(ANSI_VAR_FONT));
  EXPECT_EQ(port->fontNumber, kDefaultFontNumber);
  EXPECT_EQ(port->textSize, kDefaultTextSize);
  EXPECT_EQ(port->textStyle, 0);
  EXPECT_EQ(port->textAlign, kAlignLeft);
  TEXTMETRICA metrics;
  GetTextMetricsA(surface.dc(), &metrics);
  EXPECT_EQ(port->metrics.height, metrics.tmHeight);
  GetViewportOrgEx(surface.dc(), &origin);
  EXPECT_EQ(origin.x, 0);
  EXPECT_EQ(origin.y, 0);

  // And the defaults draw: paint in black, erase in white.
  ASSERT_EQ(PortPaintRect(port.get(), Rect{0, 0, 10, 10}), kOk);
  ASSERT_EQ(PortEraseRect(port.get(), Rect{10, 0, 20, 10}), kOk);
  EXPECT_EQ(surface.Count(Rect{0, 0, 10, 10}, kBlack), 100);
  EXPECT_EQ(surface.Count(Rect{10, 0, 20, 10}, kWhite), 100);
}

TEST(Port, SolidFillsTakeStockBrushesForBlackTheTwoMiddleGreysAndWhite) {
  DibSurface surface(8, 8);
  OpenPort port(surface.dc());
  ASSERT_EQ(port.status(), kOk);
  struct Case {
    Colour colour;
    int stock;  // -1: a brush of its own
  };
  const Case cases[] = {
      {Opaque(0, 0, 0), BLACK_BRUSH},       {Opaque(0x80, 0x80, 0x80), GRAY_BRUSH},
      {Opaque(0x7F, 0x7F, 0x7F), GRAY_BRUSH}, {Opaque(255, 255, 255), WHITE_BRUSH},
      {Opaque(0x81, 0x81, 0x81), -1},         {Opaque(0x7E, 0x7F, 0x7F), -1},
      {Opaque(0x80, 0x80, 0x81), -1},         {Opaque(0x40, 0x40, 0x40), -1},
  };
  for (const Case& c : cases) {
    ASSERT_EQ(PortSetFill(port.get(), &c.colour, nullptr, &kSolidPattern), kOk);
    HGDIOBJ brush = GetCurrentObject(surface.dc(), OBJ_BRUSH);
    const COLORREF painted = c.stock >= 0 ? RGB(0x80, 0x80, 0x80) : Gdi(c.colour);
    if (c.stock >= 0) {
      EXPECT_EQ(brush, GetStockObject(c.stock)) << std::hex << Gdi(c.colour);
    } else {
      for (int stock : {BLACK_BRUSH, GRAY_BRUSH, WHITE_BRUSH}) EXPECT_NE(brush, GetStockObject(stock));
      ASSERT_EQ(PortPaintRect(port.get(), Rect{0, 0, 8, 8}), kOk);
      EXPECT_EQ(surface.Pixel(3, 3), painted) << std::hex << Gdi(c.colour);
    }
  }
  // Erasing takes the same choice from the background colour: 0x7F7F7F erases in the stock grey.
  const Colour nearGrey = Opaque(0x7F, 0x7F, 0x7F);
  ASSERT_EQ(PortSetBackColour(port.get(), nearGrey), kOk);
  ASSERT_EQ(PortEraseRect(port.get(), Rect{0, 0, 8, 8}), kOk);
  EXPECT_EQ(surface.Count(Rect{0, 0, 8, 8}, RGB(0x80, 0x80, 0x80)), 64);
  const Colour other = Opaque(0x12, 0x34, 0x56);
  ASSERT_EQ(PortSetBackColour(port.get(), other), kOk);
  ASSERT_EQ(PortEraseRect(port.get(), Rect{0, 0, 8, 8}), kOk);
  EXPECT_EQ(surface.Count(Rect{0, 0, 8, 8}, Gdi(other)), 64);
  Colour read;
  ASSERT_EQ(PortGetBackColour(port.get(), &read), kOk);
  EXPECT_EQ(read, other);
}

TEST(Port, PatternFillsDrawZeroBitsInTheForegroundAndOneBitsInTheBackground) {
  DibSurface surface(16, 16);
  OpenPort port(surface.dc());
  ASSERT_EQ(port.status(), kOk);
  const Colour fore = Opaque(0, 0, 200);
  const Colour back = Opaque(250, 250, 0);
  ASSERT_EQ(PortSetFill(port.get(), &fore, &back, &kDiagonal), kOk);
  ASSERT_EQ(PortPaintRect(port.get(), Rect{0, 0, 16, 16}), kOk);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x)
      ASSERT_EQ(surface.Pixel(x, y), (x % 8 == y % 8) ? Gdi(back) : Gdi(fore)) << x << "," << y;

  // No change given: the brush is made again from the port's pattern and the new colours.
  const Colour green = Opaque(0, 160, 0);
  ASSERT_EQ(PortSetFill(port.get(), &green, nullptr, nullptr), kOk);
  ASSERT_EQ(PortPaintRect(port.get(), Rect{0, 0, 16, 16}), kOk);
  EXPECT_EQ(surface.Pixel(1, 0), Gdi(green));
  EXPECT_EQ(surface.Pixel(9, 9), Gdi(back));
  Colour read;
  ASSERT_EQ(PortGetForeColour(port.get(), &read), kOk);
  EXPECT_EQ(read, green);
}

TEST(Port, PaintedRectanglesAreLimitedTo32000PixelsEachWay) {
  DibSurface surface(20, 20, kWhite);
  OpenPort port(surface.dc());
  ASSERT_EQ(port.status(), kOk);
  ASSERT_EQ(PortReset(port.get(), kResetPenAndFill | kResetText), kOk);
  // The origin brings the place where the limit falls into view: 10 pixels painted, 10 not.
  struct Case {
    Rect rect;
    Point origin;
    int paintedFrom;
    int paintedTo;
  };
  const Case cases[] = {
      {{0, 0, 100000, 20}, {-31990, 0}, 0, 10},          // kept from its left: ends at 32000
      {{-100000, 0, 5, 20}, {32005, 0}, 10, 20},         // kept from its right: starts at -31995
      {{20000, 0, 120000, 20}, {-53990, 0}, 10, 20},     // recentred: 54000 to 86000
      {{20000, 0, 120000, 20}, {-85990, 0}, 0, 10},
  };
  for (const Case& c : cases) {
    surface.Fill(kWhite);
    ASSERT_EQ(PortSetOrigin(port.get(), c.origin.x, c.origin.y, nullptr), kOk);
    ASSERT_EQ(PortPaintRect(port.get(), c.rect), kOk);
    for (int x = 0; x < 20; ++x) {
      const bool painted = x >= c.paintedFrom && x < c.paintedTo;
      ASSERT_EQ(surface.Pixel(x, 5), painted ? kBlack : kWhite)
          << "x " << x << " for " << c.rect.left << ".." << c.rect.right << " seen from " << c.origin.x;
    }
  }
  // Vertically alike.
  surface.Fill(kWhite);
  Point previous;
  ASSERT_EQ(PortSetOrigin(port.get(), 0, -31990, &previous), kOk);
  EXPECT_EQ(previous, (Point{-85990, 0}));
  ASSERT_EQ(PortPaintRect(port.get(), Rect{0, 0, 20, 100000}), kOk);
  EXPECT_EQ(surface.BoundsOfOther(kWhite), (Rect{0, 0, 20, 10}));
}

TEST(Port, InvalidationNeedsAVisibleWindow) {
  DibSurface surface(10, 10);
  OpenPort memoryPort(surface.dc());
  ASSERT_EQ(memoryPort.status(), kOk);
  EXPECT_EQ(PortInvalidateRect(memoryPort.get(), Rect{0, 0, 5, 5}), kErrState);
  EXPECT_EQ(PortValidateRect(memoryPort.get(), Rect{0, 0, 5, 5}), kErrState);

  TestWindow window;
  GraphicsPort* port;
  ASSERT_EQ(PortOpenWindow(window.handle(), false, &port), kOk);
  RECT update;
  ASSERT_EQ(PortInvalidateRect(port, Rect{10, 10, 20, 20}), kOk);  // hidden: nothing happens
  EXPECT_FALSE(GetUpdateRect(window.handle(), &update, FALSE));

  ShowWindow(window.handle(), SW_SHOWNOACTIVATE);
  ValidateRect(window.handle(), nullptr);
  // Logical coordinates: the origin moves the area.
  ASSERT_EQ(PortSetOrigin(port, 5, 7, nullptr), kOk);
  ASSERT_EQ(PortInvalidateRect(port, Rect{10, 10, 20, 20}), kOk);
  ASSERT_TRUE(GetUpdateRect(window.handle(), &update, FALSE));
  EXPECT_EQ((Rect{update.left, update.top, update.right, update.bottom}), (Rect{15, 17, 25, 27}));
  ASSERT_EQ(PortValidateRect(port, Rect{0, 0, 100, 100}), kOk);
  EXPECT_FALSE(GetUpdateRect(window.handle(), &update, FALSE));
  EXPECT_EQ(PortClose(port), kOk);
}

// Every cycle makes and replaces pens, brushes (solid and patterned), fonts and clip regions, on a
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
    if (status == kOk) status = PortPaintRect(port, Rect{0, 0, 30, 30});
    if (status == kOk) status = PortEraseRect(port, Rect{0, 0, 5, 5});
    if (status == kOk) status = PortSetPen(port, nullptr, nullptr, &kDiagonal, 3);
    if (status == kOk) status = PortLine(port, 0, 10, 40, 10);
    if (status == kOk) status = PortFrameRect(port, Rect{0, 0, 30, 30});
    if (status == kOk) status = PortSetPen(port, nullptr, nullptr, &kSolidPattern, 2);
    if (status == kOk) status = PortLine(port, 0, 20, 40, 20);
    if (status == kOk) status = PortSetClipRect(port, Rect{1, 1, 20, 20});
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
  HBRUSH held[3] = {CreateSolidBrush(1), CreateSolidBrush(2), CreateSolidBrush(3)};
  EXPECT_EQ(GdiObjectLevel(), before + 3);
  for (HBRUSH brush : held) DeleteObject(brush);

  for (int round = 0; round < 10000; ++round) ASSERT_EQ(cycle(round), kOk) << "round " << round;
  EXPECT_EQ(GdiObjectLevel(), before);
}

}  // namespace
