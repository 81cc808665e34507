// Colours, brush, pen, origin and invalidation of a port.
#include "graphics/port.h"

#include "graphics/port_objects.h"

namespace {

Status SetColours(HDC dc, const Colour* fore, const Colour* back) {
  if (fore && SetTextColor(dc, GdiColour(*fore)) == CLR_INVALID) return GdiFailure(kErrMemory);
  if (back && SetBkColor(dc, GdiColour(*back)) == CLR_INVALID) return GdiFailure(kErrMemory);
  return kOk;
}

Status ApplyBrush(GraphicsPort* port) {
  HBRUSH brush;
  if (port->fillPattern != kSolidPattern) {
    brush = PatternBrushNew(port->fillPattern);
  } else {
    bool made;
    brush = SolidBrushFor(GetTextColor(port->dc), &made);
  }
  return PortSelectOwned(port, brush, &port->brushReplaced);
}

Status ApplyPen(GraphicsPort* port) {
  HPEN pen;
  const LOGBRUSH solid{BS_SOLID, GetTextColor(port->dc), 0};
  if (port->hasPenPattern) {
    // The pen only gives the width to widen a line's path by; the pattern fills the widened path.
    // A width of 0 would widen to nothing, so the one-pixel line is one pixel here too.
    pen = ExtCreatePen(PS_GEOMETRIC | PS_SOLID | PS_JOIN_MITER, port->penSize > 0 ? port->penSize : 1, &solid,
                       0, nullptr);
  } else if (port->penSize > 1) {
    // Mitred joins: a wide pen's default round joins would leave a frame's corners unpainted.
    pen = ExtCreatePen(PS_GEOMETRIC | PS_SOLID | PS_JOIN_MITER, port->penSize, &solid, 0, nullptr);
  } else {
    pen = CreatePen(PS_SOLID, port->penSize, GetTextColor(port->dc));
  }
  return PortSelectOwned(port, pen, &port->penReplaced);
}

Status ChangeWindowArea(GraphicsPort* port, const Rect& rect, bool invalidate) {
  if (port->window == kNoWindow) return kErrState;
  if (!IsWindowVisible(port->window)) return kOk;
  RECT area = GdiRect(rect);
  if (!LPtoDP(port->dc, reinterpret_cast<POINT*>(&area), 2)) return GdiFailure(kErrMemory);
  const BOOL done = invalidate ? InvalidateRect(port->window, &area, FALSE) : ValidateRect(port->window, &area);
  return done ? kOk : GdiFailure(kErrMemory);
}

}  // namespace

Status PortGetForeColour(GraphicsPort* port, Colour* colour) {
  const COLORREF value = GetTextColor(port->dc);
  if (value == CLR_INVALID) return GdiFailure(kErrMemory);
  *colour = ColourFromGdi(value);
  return kOk;
}

Status PortGetBackColour(GraphicsPort* port, Colour* colour) {
  const COLORREF value = GetBkColor(port->dc);
  if (value == CLR_INVALID) return GdiFailure(kErrMemory);
  *colour = ColourFromGdi(value);
  return kOk;
}

Status PortSetBackColour(GraphicsPort* port, const Colour& colour) {
  return PortSetFill(port, nullptr, &colour, nullptr);
}

Status PortSetFill(GraphicsPort* port, const Colour* fore, const Colour* back, const Pattern* fill) {
  const Status status = SetColours(port->dc, fore, back);
  if (status != kOk) return status;
  if (fill) port->fillPattern = *fill;
  return ApplyBrush(port);
}

Status PortSetPen(GraphicsPort* port, const Colour* fore, const Colour* back, const Pattern* penPattern,
                  int32_t penSize) {
  if (penSize != -1) port->penSize = penSize;
  const Status status = SetColours(port->dc, fore, back);
  if (status != kOk) return status;
  if (penPattern) {
    port->hasPenPattern = *penPattern != kSolidPattern;
    port->penPattern = *penPattern;
  }
  return ApplyPen(port);
}

Status PortInvalidateRect(GraphicsPort* port, const Rect& rect) { return ChangeWindowArea(port, rect, true); }

Status PortValidateRect(GraphicsPort* port, const Rect& rect) { return ChangeWindowArea(port, rect, false); }

Status PortSetOrigin(GraphicsPort* port, int32_t x, int32_t y, Point* oldOrigin) {
  POINT previous;
  if (!SetViewportOrgEx(port->dc, x, y, &previous)) return GdiFailure(kErrMemory);
  if (oldOrigin) *oldOrigin = Point{previous.x, previous.y};
  return kOk;
}
