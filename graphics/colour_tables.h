// The layer's two standard colour tables, for 8-bit pixel maps without a table of their own. Built on
// first use (GraphicsInit makes that use), never changed afterwards.
#pragma once

#include "graphics/graphics_types.h"

// 0-214: the 6 x 6 x 6 cube over 255, 204, 153, 102, 51, 0 (red outermost, blue innermost; the cube's
// black left out); 215-254: ramps of red, green, blue and grey over ten levels from 238 down to 17;
// 255: black.
const ColourTable& SystemColourTable();
// Entry i is grey level i: 0 black, 255 white.
const ColourTable& GreyColourTable();
