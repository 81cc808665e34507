// Surfaces for the graphics tests: a 32-bit top-down DIB section in a memory context, its pixels read
// straight from memory; a plain top-level window; a port on a DIB section.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>

#include "graphics/port.h"
#include "tests/graphics/pixmap_test_support.h"

class DibSurface {
 public:
  DibSurface(int width, int height, COLORREF fill = RGB(0, 255, 0)) : width_(width), height_(height) {
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof info.bmiHeader, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    dc_ = CreateCompatibleDC(nullptr);
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
    previous_ = SelectObject(dc_, bitmap_);
    Fill(fill);
  }
  ~DibSurface() {
    SelectObject(dc_, previous_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  DibSurface(const DibSurface&) = delete;

  HDC dc() const { return dc_; }

  // The pixels are 0x00RRGGBB, COLORREF is 0x00BBGGRR.
  void Fill(COLORREF colour) {
    GdiFlush();
    std::fill(bits_, bits_ + width_ * height_, RGB(GetBValue(colour), GetGValue(colour), GetRValue(colour)));
  }
  COLORREF Pixel(int x, int y) const {
    GdiFlush();
    const COLORREF value = bits_[y * width_ + x];
    return RGB(GetBValue(value), GetGValue(value), GetRValue(value));
  }
  int Count(const Rect& area, COLORREF colour) const {
    int count = 0;
    for (int y = area.top; y < area.bottom; ++y)
      for (int x = area.left; x < area.right; ++x) count += Pixel(x, y) == colour;
    return count;
  }
  // The smallest rectangle holding every pixel that differs from the colour; empty when none does.
  Rect BoundsOfOther(COLORREF colour) const {
    Rect box{width_, height_, 0, 0};
    for (int y = 0; y < height_; ++y)
      for (int x = 0; x < width_; ++x)
        if (Pixel(x, y) != colour)
          box = {std::min(box.left, x), std::min(box.top, y), std::max(box.right, x + 1), std::max(box.bottom, y + 1)};
    return box.left < box.right ? box : Rect{0, 0, 0, 0};
  }

 private:
  int width_, height_;
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ previous_;
  uint32_t* bits_ = nullptr;
};

// A plain top-level window of 200 x 100 pixels, hidden until shown.
class TestWindow {
 public:
  TestWindow() {
    static const ATOM windowClass = [] {
      WNDCLASSA description = {};
      description.lpfnWndProc = DefWindowProcA;
      description.lpszClassName = "graphics_test_window";
      return RegisterClassA(&description);
    }();
    window_ = CreateWindowA(MAKEINTATOM(windowClass), "", WS_POPUP, 0, 0, 200, 100, nullptr, nullptr, nullptr, nullptr);
  }
  ~TestWindow() { DestroyWindow(window_); }
  TestWindow(const TestWindow&) = delete;
  HWND handle() const { return window_; }

 private:
  HWND window_;
};

inline Colour Opaque(uint8_t red, uint8_t green, uint8_t blue) { return Colour{255, red, green, blue}; }
inline COLORREF Gdi(const Colour& colour) { return RGB(colour.red, colour.green, colour.blue); }

// A port on a DIB section of the given size and colour, its pen, fill and text state reset.
template <int kWidth, int kHeight, COLORREF kColour = RGB(0, 255, 0)>
class PortOnSurface : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(PortOpenDevice(surface_.dc(), false, &port_), kOk);
    ASSERT_EQ(PortReset(port_, kResetPenAndFill | kResetText), kOk);
  }
  void TearDown() override { PortClose(port_); }

  DibSurface surface_{kWidth, kHeight, kColour};
  GraphicsPort* port_ = nullptr;
};
