// A port's text state - font number, size, style, alignment, metrics and face - and measuring and
// drawing 8-bit text in the selected font.
#pragma once

#include "graphics/port.h"

// Sets the text colour when given, the alignment, and makes and selects the font: a stock font for the
// numbers 10-14 and 16 (the recorded size is then 12), else a font of the size (cell height in pixels),
// style and the first installed face of the list (none given or none installed: the system chooses the
// face). Records everything and refreshes the metrics. When no font can be made the stock
// variable-pitch font is selected and the system's error number returned.
Status PortSetFont(GraphicsPort* port, const Colour* colour, const char* faces, int32_t fontNumber,
                   int32_t size, int32_t style, int32_t alignment);

// Each does nothing when the value is the recorded one; otherwise it makes the font again from the
// port's other values without a face list, so the recorded face becomes empty.
Status PortSetTextSize(GraphicsPort* port, int32_t size);
int32_t PortGetTextStyle(GraphicsPort* port);
Status PortSetTextStyle(GraphicsPort* port, int32_t style);
Status PortSetTextAlign(GraphicsPort* port, int32_t alignment);

Status PortGetFontMetrics(GraphicsPort* port, FontMetrics* metrics);
Status PortReadFontMetrics(GraphicsPort* port);  // from the selected font into the port
Status PortSetTextColour(GraphicsPort* port, const Colour& colour);

// The width in pixels in the selected font (without kerning or overhang); 0 on failure.
int32_t PortTextWidth(GraphicsPort* port, const char* text, int32_t length);
// Text sits on the baseline at the pen position (starting, centred or ending there by the alignment)
// and moves the pen, so that the next text continues where this one ended.
Status PortDrawText(GraphicsPort* port, const char* text, int32_t length);
Status PortDrawTextAt(GraphicsPort* port, int32_t x, int32_t y, const char* text, int32_t length);
