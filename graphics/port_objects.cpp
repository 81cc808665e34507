#include "graphics/port_objects.h"

#include "graphics/rect_limit.h"

namespace {

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
// The stock grey brush is 0x808080; 0x7F7F7F is close enough to share it.
constexpr COLORREF kStockGrey = RGB(0x80, 0x80, 0x80);
constexpr COLORREF kNearStockGrey = RGB(0x7F, 0x7F, 0x7F);

}  // namespace

RECT GdiRect(const Rect& rect) {
  const Rect limited = RectLimitSpans(rect);
  return RECT{limited.left, limited.top, limited.right, limited.bottom};
}

Status GdiFailure(Status code) {
  SetLastError(ERROR_SUCCESS);
  return code;
}

HBRUSH SolidBrushFor(COLORREF colour, bool* made) {
  *made = false;
  switch (colour) {
    case kBlack:
      return static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    case kStockGrey:
    case kNearStockGrey:
      return static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
    case kWhite:
      return static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    default:
      HBRUSH brush = CreateSolidBrush(colour);
      *made = brush != nullptr;
      return brush;
  }
}

HBRUSH PatternBrushNew(const Pattern& pattern) {
  // Monochrome bitmap rows are padded to 16 bits, which is the pattern's own layout.
  HBITMAP bitmap = CreateBitmap(8, 8, 1, 1, pattern.rows);
  if (!bitmap) return nullptr;
  HBRUSH brush = CreatePatternBrush(bitmap);
  DeleteObject(bitmap);
  return brush;
}

Status PortSelectOwned(GraphicsPort* port, HGDIOBJ object, uint8_t* replaced) {
  if (!object) return GdiFailure(kErrMemory);
  HGDIOBJ previous = SelectObject(port->dc, object);
  if (!previous || previous == HGDI_ERROR) {
    DeleteObject(object);
    return GdiFailure(kErrMemory);
  }
  if (!*replaced) {
    *replaced = 1;
  } else if (previous != object) {
    DeleteObject(previous);
  }
  return kOk;
}
