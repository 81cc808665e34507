// Regions (the system's region handles, owned and disposed of by whoever made them) and a port's clip.
// Coordinates are the port's logical pixels unless said otherwise.
#pragma once

#include <windows.h>

#include "graphics/graphics_types.h"
#include "graphics/port.h"
#include "runtime/status.h"

// None when the region cannot be made (-7004 for the caller to report).
HRGN RegionNew();  // empty
HRGN RegionCopyNew(HRGN region);
void RegionDispose(HRGN region);  // none is allowed

Status RegionBounds(HRGN region, Rect* bounds);
Status RegionSetRect(HRGN region, const Rect& rect);  // spans limited to 32000
Status RegionUnion(HRGN destination, HRGN a, HRGN b);
// Carries the region from frame b onto frame a: x' = (x - b.left) * width(a) / width(b) + a.left, and
// likewise for y. Frames of equal size only move it. -7001 when b is empty and a is not the same size.
Status RegionMap(HRGN region, const Rect& a, const Rect& b);
// A single rectangle reaching at least 32000 beyond the origin on every side: what counts as no clip.
bool RegionIsWideOpen(HRGN region);

// A new region holding the port's present clip, in logical coordinates; the whole plane when the
// context has none. -7300 when the context answers with neither.
Status PortGetClip(GraphicsPort* port, HRGN* clip);
// A wide-open region removes the clip.
Status PortSetClip(GraphicsPort* port, HRGN region);
Status PortSetClipRect(GraphicsPort* port, const Rect& rect);
Status PortIntersectClip(GraphicsPort* port, HRGN region);
Status PortIntersectClipRect(GraphicsPort* port, const Rect& rect);
