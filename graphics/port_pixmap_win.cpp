// Pixel maps onto ports: one copy, or tiles laid edge to edge.
#include "graphics/pixmap_device.h"
#include "graphics/port_objects.h"
#include "graphics/region.h"

namespace {

int32_t FloorDiv(int64_t a, int64_t b) { return int32_t(a >= 0 ? a / b : -((-a + b - 1) / b)); }

}  // namespace

Status PortCopyPixmap(GraphicsPort* port, Pixmap* source, Pixmap* mask, const Rect* sourceRect,
                      const TransferMode* mode, const Rect* destinationRect) {
  if (!port || !source) return kErrArgument;
  // An offscreen port's own map is written in memory; its device copy catches up before GDI next draws.
  if (port->links.pixmap) return PixmapCopy(port->links.pixmap, destinationRect, source, mask, mode, sourceRect);
  DrawingScope drawing(port);
  if (drawing.status() != kOk) return drawing.status();
  return PixmapToDevice(port->dc, destinationRect, source, mask, mode, sourceRect);
}

Status PortTilePixmap(GraphicsPort* port, const Rect* rect, Point origin, Pixmap* source, Pixmap* mask,
                      const TransferMode* mode, const Rect* area) {
  if (!port || !source) return kErrArgument;
  const Rect tile = area ? *area : source->bounds;
  const int32_t w = tile.right - tile.left, h = tile.bottom - tile.top;
  if (w <= 0 || h <= 0) return kOk;
  Rect fill = rect ? *rect : Rect{0, 0, GetDeviceCaps(port->dc, HORZRES), GetDeviceCaps(port->dc, VERTRES)};
  if (fill.right <= fill.left || fill.bottom <= fill.top) return kOk;

  DrawingScope drawing(port);
  if (drawing.status() != kOk) return drawing.status();
  HRGN savedClip = nullptr;
  Status status = PortGetClip(port, &savedClip);
  if (status == kOk) status = PortIntersectClipRect(port, fill);
  Point oldOrigin = {0, 0};
  if (status == kOk) {
    // The origin is in the port's logical coordinates, so it moves with whatever origin the port has.
    POINT viewport;
    GetViewportOrgEx(port->dc, &viewport);
    status = PortSetOrigin(port, viewport.x + origin.x, viewport.y + origin.y, &oldOrigin);
  }
  if (status == kOk) {
    // Tiles at multiples of the tile size from the origin, over the rectangle taken relative to it.
    const int64_t left = int64_t(fill.left) - origin.x, right = int64_t(fill.right) - origin.x;
    const int64_t top = int64_t(fill.top) - origin.y, bottom = int64_t(fill.bottom) - origin.y;
    const int32_t firstColumn = FloorDiv(left, w), lastColumn = FloorDiv(right + w - 1, w);
    const int32_t firstRow = FloorDiv(top, h), lastRow = FloorDiv(bottom + h - 1, h);
    for (int32_t row = firstRow; row < lastRow && status == kOk; ++row) {
      for (int32_t column = firstColumn; column < lastColumn && status == kOk; ++column) {
        const Rect at = {column * w, row * h, column * w + w, row * h + h};
        status = PixmapToDevice(port->dc, &at, source, mask, mode, &tile);
      }
    }
    PortSetOrigin(port, oldOrigin.x, oldOrigin.y, nullptr);
  }
  if (savedClip) {
    const Status restored = PortSetClip(port, savedClip);
    if (status == kOk) status = restored;
    RegionDispose(savedClip);
  }
  return status;
}
