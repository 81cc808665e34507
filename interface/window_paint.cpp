// Drawing: the page goes into the top-level window's off-screen buffer first - background, then each
// element in document order, a FRAME drawing its nested window - and from there onto the screen.
#include "graphics/pixmap_device.h"
#include "graphics/port_draw.h"
#include "graphics/region.h"
#include "interface/interface_window.h"

namespace {

GraphicsPort* BufferPort(InterfaceWindow* top) { return top->offscreen ? LinksOf(top->offscreen)->port : nullptr; }

RECT ToRECT(const Rect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

}  // namespace

Status draw_window(InterfaceWindow* window) {
  if (!window->visible) return kOk;
  GraphicsPort* port = BufferPort(top_window(window));
  if (!port) return kErrState;
  // A nested window draws within its FRAME only.
  HRGN outer = nullptr;
  Status status = PortGetClip(port, &outer);
  if (status == kOk) status = PortIntersectClipRect(port, window->bounds);
  if (status == kOk) {
    if (window->backgroundImage) {
      status = PortTilePixmap(port, &window->bounds, Point{window->bounds.left, window->bounds.top},
                              window->backgroundImage, window->backgroundMask, &window->backgroundMode, nullptr);
    } else {
      status = PortSetBackColour(port, window->background);
      if (status == kOk) status = PortEraseRect(port, window->bounds);
    }
  }
  const uint32_t generation = window->pageGeneration;
  for (Element* element = window->page.first; element && status == kOk; element = element->next) {
    if (!element->visible) continue;
    status = send_message(element, kMessageDraw);
    if (window->pageGeneration != generation) break;
  }
  if (outer) {
    PortSetClip(port, outer);
    RegionDispose(outer);
  }
  return status;
}

void paint_window(InterfaceWindow* top, HDC dc, const RECT& area) {
  GraphicsPort* port = BufferPort(top);
  if (!port) return;
  if (PortBeginDrawing(port) == kOk) {
    set_drawing_context(port->dc);
    draw_window(top);
    set_drawing_context(nullptr);
    PortEndDrawing(port);
  }
  GdiFlush();
  const Rect rect{area.left, area.top, area.right, area.bottom};
  PixmapShowOnWindow(top->offscreen, dc, &rect, 1);
  top->needsRedraw = false;
}

void request_redraw(InterfaceWindow* window) {
  InterfaceWindow* top = top_window(window);
  if (!top || !top->created || top->destroying) return;
  top->needsRedraw = true;
  const RECT area = ToRECT(window->bounds);
  InvalidateRect(top->native, window->parent ? &area : nullptr, FALSE);
}

Status redraw_now(InterfaceWindow* window, const Rect* area) {
  InterfaceWindow* top = top_window(window);
  if (!top || !top->created || top->destroying) return kOk;
  if (area) {
    const RECT rect = ToRECT(*area);
    InvalidateRect(top->native, &rect, FALSE);
  } else {
    request_redraw(window);
  }
  // Inside a handler (a FRAME building its page, say) the paint waits for the message loop, so that no
  // element is drawn while another one's handler runs.
  if (!handler_running()) UpdateWindow(top->native);
  return kOk;
}
