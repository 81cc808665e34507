// The brackets around every drawing operation. Only an offscreen port has anything to do in them: its
// pixel map's memory and device copies are kept in step. For every other port they are empty.
#include "graphics/pixmap_device.h"
#include "graphics/port.h"

Status PortBeginDrawing(GraphicsPort* port) { return port->links.pixmap ? PixmapBeginDrawing(port->links.pixmap) : kOk; }

void PortEndDrawing(GraphicsPort* port) {
  if (port->links.pixmap) PixmapEndDrawing(port->links.pixmap);
}
