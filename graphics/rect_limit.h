// The system's drawing calls take coordinates of limited range, so every rectangle the layer hands to
// them has each span limited to 32000 first.
#pragma once

#include "graphics/graphics_types.h"

constexpr int32_t kSpanLimit = 32000;

// A span wider than 32000 keeps the end that lies within 8000 of zero (the left or top one first), and
// is otherwise recentred on its own middle.
Rect RectLimitSpans(const Rect& rect);
