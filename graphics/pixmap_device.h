// The device side of pixel maps: maps that GDI draws into, copies onto device contexts, tiling, and
// the maps that mirror a window.
#pragma once

#include <windows.h>

#include "graphics/pixmap.h"
#include "graphics/port.h"

// A map made for the reference context: a DIB section when GDI addresses the format directly, else a
// compatible bitmap with separate memory kept in step. With `withPort`, an offscreen port draws into
// it (the port goes with the map). None on failure.
Pixmap* PixmapNewForDevice(HDC reference, const Rect& bounds, uint32_t formatCode, const ColourTable* table,
                           bool withPort);
// The format of maps made for the context: 32, 24, 16 (5-6-5) or 15 bits per pixel, 32 for anything
// else (at least 16 bits).
uint32_t DeviceFormatCode(HDC dc);

// A map of the window's client size (its bounds go to *bounds when given) in the device's format,
// with an offscreen port drawing into it.
Pixmap* PixmapNewForWindow(HWND window, Rect* bounds);
// Copies the memory copy to the window's context, in the given rectangles of the map (all of it when
// there are none); each lands at the same place in the window.
Status PixmapShowOnWindow(Pixmap* pixmap, HDC windowDc, const Rect* rects, int32_t count);

// Copies onto any device context, in its logical coordinates. The destination rectangle defaults to
// the source rectangle, that to the map's bounds.
Status PixmapToDevice(HDC dc, const Rect* destinationRect, Pixmap* pixmap, Pixmap* mask, const TransferMode* mode,
                      const Rect* sourceRect);

// The general copy into an offscreen port's own map, else the copy onto the port's context.
Status PortCopyPixmap(GraphicsPort* port, Pixmap* source, Pixmap* mask, const Rect* sourceRect,
                      const TransferMode* mode, const Rect* destinationRect);
// Fills the rectangle (the whole device surface when none) with copies of the source area (the map's
// bounds when none) laid edge to edge from `origin`.
Status PortTilePixmap(GraphicsPort* port, const Rect* rect, Point origin, Pixmap* source, Pixmap* mask,
                      const TransferMode* mode, const Rect* area);

// The brackets of an offscreen port's drawing: the memory copy goes to the device before GDI draws,
// and the device copy is marked newer after.
Status PixmapBeginDrawing(Pixmap* pixmap);
void PixmapEndDrawing(Pixmap* pixmap);
