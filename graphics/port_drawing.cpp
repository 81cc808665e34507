// The brackets around every drawing operation. Only an offscreen port has anything to do in them (keep
// its pixel map's memory and device copies in step), and offscreen ports come with pixel maps; for
// every other port they are empty.
#include "graphics/port.h"

Status PortBeginDrawing(GraphicsPort*) { return kOk; }

void PortEndDrawing(GraphicsPort*) {}
