#include "graphics/port.h"

#include "graphics/port_objects.h"
#include "graphics/port_text.h"
#include "graphics/region.h"

namespace {

constexpr Colour kBlack{255, 0, 0, 0};

// A stock object in, and the layer's object that comes out deleted; only where the layer replaced one.
void PutBackStock(GraphicsPort* port, int stockObject, uint8_t replaced) {
  if (!replaced) return;
  HGDIOBJ previous = SelectObject(port->dc, GetStockObject(stockObject));
  if (previous && previous != HGDI_ERROR) DeleteObject(previous);
}

Status OpenOnContext(HDC dc, HWND window, bool restore, GraphicsPort** port) {
  GraphicsWorld* world = WorldNew(sizeof(GraphicsPort), 0);
  if (!world) return kErrMemory;
  const Status status = PortAttach(world->links.port, dc, window, restore);
  if (status != kOk) {
    WorldDispose(world);
    return status;
  }
  *port = world->links.port;
  return kOk;
}

Status ResetPenAndFill(GraphicsPort* port) {
  if (SetBkColor(port->dc, RGB(255, 255, 255)) == CLR_INVALID || !SetROP2(port->dc, R2_COPYPEN))
    return GdiFailure(kErrMemory);
  Status status = PortSelectOwned(port, GetStockObject(BLACK_PEN), &port->penReplaced);
  if (status == kOk) status = PortSelectOwned(port, GetStockObject(BLACK_BRUSH), &port->brushReplaced);
  if (status != kOk) return status;
  port->fillPattern = kSolidPattern;
  port->hasPenPattern = 0;
  port->penSize = 0;
  return kOk;
}

}  // namespace

Status PortOpenWindow(HWND window, bool restore, GraphicsPort** port) {
  *port = nullptr;
  HDC dc = GetDC(window);
  if (!dc) return GdiFailure(kErrGraphics);
  const Status status = OpenOnContext(dc, window, restore, port);
  if (status != kOk) ReleaseDC(window, dc);
  return status;
}

Status PortOpenDevice(HDC dc, bool restore, GraphicsPort** port) {
  *port = nullptr;
  return OpenOnContext(dc, kNoWindow, restore, port);
}

Status PortClose(GraphicsPort* port) {
  if (!port) return kOk;
  GraphicsWorld* world = port->links.world;
  if (world->record) return kErrState;
  PortDetach(port);
  WorldDispose(world);
  return kOk;
}

Status PortAttach(GraphicsPort* port, HDC dc, HWND window, bool restore) {
  if (restore) {
    port->savedState = SaveDC(dc);
    if (port->savedState == 0) return GdiFailure(kErrMemory);
    port->restore = 1;
  }
  // The rest of a new world's port is zero: solid fill, no pen pattern, pen size 0, style 0, no face.
  port->dc = dc;
  port->window = window;
  port->fontNumber = kDefaultFontNumber;
  port->textSize = kDefaultTextSize;
  port->textAlign = kAlignLeft;
  Status status = PortGetClip(port, &port->clip);
  if (status == kOk) status = PortReadFontMetrics(port);
  if (status != kOk) {
    RegionDispose(port->clip);
    port->clip = nullptr;
    if (port->restore) RestoreDC(dc, port->savedState);
    port->restore = 0;
    port->dc = nullptr;
  }
  return status;
}

void PortDetach(GraphicsPort* port) {
  PutBackStock(port, BLACK_PEN, port->penReplaced);
  PutBackStock(port, kDefaultFontNumber, port->fontReplaced);
  PutBackStock(port, BLACK_BRUSH, port->brushReplaced);
  port->penReplaced = port->fontReplaced = port->brushReplaced = 0;
  if (port->restore) RestoreDC(port->dc, port->savedState);
  port->restore = 0;
  if (port->window != kNoWindow) ReleaseDC(port->window, port->dc);
  port->dc = nullptr;
  RegionDispose(port->clip);
  port->clip = nullptr;
}

Status PortReset(GraphicsPort* port, uint32_t groups) {
  if (!SetMapMode(port->dc, MM_TEXT) || !SetBkMode(port->dc, OPAQUE)) return GdiFailure(kErrMemory);
  Status status = kOk;
  if (groups & (kResetPenAndFill | kResetPen)) status = ResetPenAndFill(port);
  if (status == kOk && (groups & kResetText))
    status = PortSetFont(port, &kBlack, nullptr, kDefaultFontNumber, kDefaultTextSize, 0, kAlignLeft);
  if (status == kOk && (groups & kResetClip) && port->clip) status = PortSetClip(port, port->clip);
  if (status == kOk && (groups & kResetOrigin) && !SetViewportOrgEx(port->dc, 0, 0, nullptr))
    status = GdiFailure(kErrMemory);
  return status;
}
