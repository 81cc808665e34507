#include "graphics/port_draw.h"

#include "graphics/port_objects.h"

namespace {

// Strokes the path just recorded: widened by the pen and filled with the pen pattern, with the fill
// brush put back afterwards.
Status FillWidenedPath(GraphicsPort* port) {
  if (!WidenPath(port->dc)) return GdiFailure(kErrMemory);
  HBRUSH brush = PatternBrushNew(port->penPattern);
  if (!brush) return GdiFailure(kErrMemory);
  HGDIOBJ fillBrush = SelectObject(port->dc, brush);
  const BOOL filled = fillBrush && FillPath(port->dc);
  if (fillBrush) SelectObject(port->dc, fillBrush);
  DeleteObject(brush);
  return filled ? kOk : GdiFailure(kErrMemory);
}

// Draws what trace() traces: with the plain pen, or as a patterned path. A closed figure is always
// traced as a path and closed there, so that its first corner gets a join like the others.
template <class Trace>
Status Stroke(GraphicsPort* port, Trace trace, bool closedFigure = false) {
  DrawingScope drawing(port);
  if (drawing.status() != kOk) return drawing.status();
  TransparentScope transparent(port->dc);
  if (!port->hasPenPattern && !closedFigure) return trace() ? kOk : GdiFailure(kErrMemory);
  if (!BeginPath(port->dc)) return GdiFailure(kErrMemory);
  const bool traced = trace() && (!closedFigure || CloseFigure(port->dc));
  if (!EndPath(port->dc) || !traced) {
    AbortPath(port->dc);
    return GdiFailure(kErrMemory);
  }
  if (port->hasPenPattern) return FillWidenedPath(port);
  return StrokePath(port->dc) ? kOk : GdiFailure(kErrMemory);
}

Status StrokeLine(GraphicsPort* port, const Point& from, const Point& to) {
  return Stroke(port, [&] { return MoveToEx(port->dc, from.x, from.y, nullptr) && LineTo(port->dc, to.x, to.y); });
}

// Fills with a brush of the caller's, bracketed.
Status FillWith(GraphicsPort* port, const Rect& rect, HBRUSH brush) {
  DrawingScope drawing(port);
  if (drawing.status() != kOk) return drawing.status();
  const RECT area = GdiRect(rect);
  return FillRect(port->dc, &area, brush) ? kOk : GdiFailure(kErrMemory);
}

}  // namespace

Status PortGetPen(GraphicsPort* port, Point* position) {
  POINT current;
  if (!GetCurrentPositionEx(port->dc, &current)) return GdiFailure(kErrMemory);
  *position = Point{current.x, current.y};
  return kOk;
}

Status PortMoveTo(GraphicsPort* port, int32_t x, int32_t y) {
  return MoveToEx(port->dc, x, y, nullptr) ? kOk : GdiFailure(kErrMemory);
}

Status PortMove(GraphicsPort* port, int32_t dx, int32_t dy) {
  Point current;
  const Status status = PortGetPen(port, &current);
  return status == kOk ? PortMoveTo(port, current.x + dx, current.y + dy) : status;
}

Status PortLine(GraphicsPort* port, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  return StrokeLine(port, Point{x1, y1}, Point{x2, y2});
}

Status PortLineTo(GraphicsPort* port, int32_t x, int32_t y) {
  Point current;
  const Status status = PortGetPen(port, &current);
  return status == kOk ? StrokeLine(port, current, Point{x, y}) : status;
}

Status PortFrameRect(GraphicsPort* port, const Rect& rect) {
  const RECT box = GdiRect(rect);
  // The pen is centred on the outline: keep its wider half (the right and lower one) inside as well.
  const int32_t width = port->penSize > 0 ? port->penSize : 1;
  const LONG left = box.left + width / 2;
  const LONG top = box.top + width / 2;
  const LONG right = box.right - (width + 1) / 2;
  const LONG bottom = box.bottom - (width + 1) / 2;
  const POINT outline[4] = {{left, top}, {right, top}, {right, bottom}, {left, bottom}};
  return Stroke(port, [&] { return Polyline(port->dc, outline, 4) != FALSE; }, true);
}

Status PortPaintRect(GraphicsPort* port, const Rect& rect) {
  HGDIOBJ brush = GetCurrentObject(port->dc, OBJ_BRUSH);
  if (!brush) return GdiFailure(kErrMemory);
  return FillWith(port, rect, static_cast<HBRUSH>(brush));
}

Status PortEraseRect(GraphicsPort* port, const Rect& rect) {
  const COLORREF background = GetBkColor(port->dc);
  if (background == CLR_INVALID) return GdiFailure(kErrMemory);
  bool made;
  HBRUSH brush = SolidBrushFor(background, &made);
  if (!brush) return GdiFailure(kErrMemory);
  const Status status = FillWith(port, rect, brush);
  if (made) DeleteObject(brush);
  return status;
}

Status PortInvertRect(GraphicsPort* port, const Rect& rect) {
  DrawingScope drawing(port);
  if (drawing.status() != kOk) return drawing.status();
  const RECT area = GdiRect(rect);
  return InvertRect(port->dc, &area) ? kOk : GdiFailure(kErrMemory);
}

Status PortSetPixel(GraphicsPort* port, int32_t x, int32_t y, const Colour& colour) {
  DrawingScope drawing(port);
  if (drawing.status() != kOk) return drawing.status();
  return SetPixelV(port->dc, x, y, GdiColour(colour)) ? kOk : GdiFailure(kErrMemory);
}
