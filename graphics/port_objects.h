// What the port operations share: colour and rectangle conversion, the failure convention, the brushes
// made from colours and patterns, and the rule for objects selected into a port's context.
#pragma once

#include <windows.h>

#include "graphics/port.h"

inline COLORREF GdiColour(const Colour& colour) { return RGB(colour.red, colour.green, colour.blue); }
inline Colour ColourFromGdi(COLORREF value) {
  return Colour{255, GetRValue(value), GetGValue(value), GetBValue(value)};
}

// A rectangle with its spans limited, ready for the system.
RECT GdiRect(const Rect& rect);

// After a failed system call: the thread's last error is cleared and the layer's own code returned.
Status GdiFailure(Status code);

// The brush for a solid colour: the stock brush for black, the two middle greys and white (*made false),
// else a new brush (*made true). None when it cannot be made.
HBRUSH SolidBrushFor(COLORREF colour, bool* made);
// A brush from an 8 x 8 monochrome bitmap of the pattern (the bitmap is deleted once the brush exists).
HBRUSH PatternBrushNew(const Pattern& pattern);

// Selects a pen, brush or font of the layer's into the port's context under the ownership rule: the
// first object to come out is the context's own and is left alone (and *replaced set); later ones are
// the layer's and are deleted. The given object belongs to the call: on failure it is deleted (stock
// objects survive that) and the previous object stays.
Status PortSelectOwned(GraphicsPort* port, HGDIOBJ object, uint8_t* replaced);

// Transparent background mode for a scope; the previous mode comes back on every path.
class TransparentScope {
 public:
  explicit TransparentScope(HDC dc) : dc_(dc), previous_(SetBkMode(dc, TRANSPARENT)) {}
  ~TransparentScope() {
    if (previous_) SetBkMode(dc_, previous_);
  }
  TransparentScope(const TransparentScope&) = delete;
  TransparentScope& operator=(const TransparentScope&) = delete;

 private:
  HDC dc_;
  int previous_;
};

// Begin and end drawing for a scope: check status() before drawing; end runs only after a good begin.
class DrawingScope {
 public:
  explicit DrawingScope(GraphicsPort* port) : port_(port), status_(PortBeginDrawing(port)) {}
  ~DrawingScope() {
    if (status_ == kOk) PortEndDrawing(port_);
  }
  DrawingScope(const DrawingScope&) = delete;
  DrawingScope& operator=(const DrawingScope&) = delete;
  Status status() const { return status_; }

 private:
  GraphicsPort* port_;
  Status status_;
};
