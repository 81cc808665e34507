// Drawing surfaces for the graphics tests: a 32-bit top-down DIB section in a memory context whose
// pixels are read straight from memory, and a plain top-level window.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "graphics/graphics_types.h"

class DibSurface {
 public:
  DibSurface(int width, int height, COLORREF fill = RGB(0, 255, 0)) : width_(width), height_(height) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
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
  DibSurface& operator=(const DibSurface&) = delete;

  HDC dc() const { return dc_; }
  int width() const { return width_; }
  int height() const { return height_; }

  void Fill(COLORREF colour) {
    GdiFlush();
    for (int i = 0; i < width_ * height_; ++i) bits_[i] = ToPixel(colour);
  }

  COLORREF Pixel(int x, int y) const {
    GdiFlush();
    const uint32_t value = bits_[y * width_ + x];
    return RGB((value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF);
  }

  // The smallest rectangle holding every pixel that differs from the colour; empty when none does.
  Rect BoundsOfOther(COLORREF colour) const {
    Rect box{width_, height_, 0, 0};
    for (int y = 0; y < height_; ++y)
      for (int x = 0; x < width_; ++x)
        if (Pixel(x, y) != colour) {
          if (x < box.left) box.left = x;
          if (y < box.top) box.top = y;
          if (x + 1 > box.right) box.right = x + 1;
          if (y + 1 > box.bottom) box.bottom = y + 1;
        }
    return box.left < box.right ? box : Rect{0, 0, 0, 0};
  }

  int Count(const Rect& area, COLORREF colour) const {
    int count = 0;
    for (int y = area.top; y < area.bottom; ++y)
      for (int x = area.left; x < area.right; ++x) count += Pixel(x, y) == colour;
    return count;
  }

  std::vector<COLORREF> Pixels() const {
    std::vector<COLORREF> all;
    for (int y = 0; y < height_; ++y)
      for (int x = 0; x < width_; ++x) all.push_back(Pixel(x, y));
    return all;
  }

 private:
  static uint32_t ToPixel(COLORREF colour) {
    return (uint32_t{GetRValue(colour)} << 16) | (uint32_t{GetGValue(colour)} << 8) | GetBValue(colour);
  }

  int width_;
  int height_;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ previous_ = nullptr;
  uint32_t* bits_ = nullptr;
};

// A top-level window of a class of the tests' own, hidden until shown.
class TestWindow {
 public:
  TestWindow() {
    static const ATOM windowClass = [] {
      WNDCLASSA description = {};
      description.lpfnWndProc = DefWindowProcA;
      description.hInstance = GetModuleHandleA(nullptr);
      description.lpszClassName = "graphics_test_window";
      return RegisterClassA(&description);
    }();
    window_ = CreateWindowA(MAKEINTATOM(windowClass), "graphics test", WS_POPUP, 0, 0, 200, 100, nullptr,
                            nullptr, GetModuleHandleA(nullptr), nullptr);
  }
  ~TestWindow() { DestroyWindow(window_); }
  TestWindow(const TestWindow&) = delete;
  TestWindow& operator=(const TestWindow&) = delete;

  HWND handle() const { return window_; }

 private:
  HWND window_ = nullptr;
};

inline COLORREF Gdi(const Colour& colour) { return RGB(colour.red, colour.green, colour.blue); }
inline Colour Opaque(uint8_t red, uint8_t green, uint8_t blue) { return Colour{255, red, green, blue}; }
