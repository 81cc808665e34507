// Drawing on a port, in logical coordinates, with the port's pen, patterns and colours. Each operation
// is bracketed by begin and end drawing; a failed begin is returned and nothing is drawn.
#pragma once

#include "graphics/port.h"

Status PortGetPen(GraphicsPort* port, Point* position);
Status PortMoveTo(GraphicsPort* port, int32_t x, int32_t y);
Status PortMove(GraphicsPort* port, int32_t dx, int32_t dy);

// Lines end at the current position. With a pen pattern a line is its path widened by the pen size and
// filled with the pattern.
Status PortLine(GraphicsPort* port, int32_t x1, int32_t y1, int32_t x2, int32_t y2);
Status PortLineTo(GraphicsPort* port, int32_t x, int32_t y);

// The outline lies inside the rectangle whatever the pen size; the current position is left alone.
Status PortFrameRect(GraphicsPort* port, const Rect& rect);
Status PortPaintRect(GraphicsPort* port, const Rect& rect);   // the fill pattern
Status PortEraseRect(GraphicsPort* port, const Rect& rect);   // the background colour
Status PortInvertRect(GraphicsPort* port, const Rect& rect);
Status PortSetPixel(GraphicsPort* port, int32_t x, int32_t y, const Colour& colour);
