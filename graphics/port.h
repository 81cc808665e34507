// Graphics ports: a device context with the drawing state of this layer - pen, patterns, colours, text
// settings, clip region and origin. Every drawing call goes through a port. A port wraps a window (the
// port gets and releases the window's context), a context handed in by the caller (never released by
// the port), or the memory context of an offscreen pixel map.
//
// Every operation takes the port first and returns a status: 0, -7002 when it needs a window and the
// port has none, -7004 when a system drawing call fails or an object cannot be made, -7300 when no
// device context can be had. No failure closes the port. Ports are used on the interface thread only.
#pragma once

#include <windows.h>

#include <cstdint>

#include "graphics/graphics_types.h"
#include "graphics/world.h"
#include "runtime/status.h"

// The window of a port on a caller's context (or on a pixel map's): its context is never released.
inline const HWND kNoWindow = reinterpret_cast<HWND>(static_cast<intptr_t>(-1));

enum TextStyle : int32_t { kTextBold = 1, kTextItalic = 2, kTextUnderline = 4 };
// Any value other than centred and right is left.
enum TextAlignment : int32_t { kAlignLeft = -1, kAlignCentre = 0, kAlignRight = 1 };

// The stock variable-pitch font; the font numbers 10-14 and 16 are the system's stock fonts.
constexpr int32_t kDefaultFontNumber = ANSI_VAR_FONT;
constexpr int32_t kDefaultTextSize = 12;

struct FontMetrics {
  int32_t ascent;
  int32_t descent;
  int32_t leading;  // the font's external leading
  int32_t height;
  int32_t widest;   // widest character
};

constexpr size_t kFaceNameSize = 256;

struct GraphicsPort {
  GraphicsLinks links;    // the pixel-map link is set for offscreen ports
  HDC dc;                 // where all drawing goes
  HWND window;            // the window whose context the port got, or kNoWindow
  uint8_t restore;        // the context's state was saved at open and is restored at close
  // The layer has selected an object of its own of that kind into the context: what comes out of the
  // context from then on is the layer's and is deleted.
  uint8_t penReplaced;
  uint8_t fontReplaced;
  uint8_t brushReplaced;
  Pattern fillPattern;    // for paint and fill; kSolidPattern by default
  uint8_t hasPenPattern;  // with none, a solid pen in the foreground colour
  Pattern penPattern;
  int32_t penSize;        // pixels; 0 (the default) is the system's one-pixel line
  int32_t fontNumber;     // a stock font number, or any other value for a font made from the fields below
  int32_t textSize;       // character height in pixels
  int32_t textStyle;      // TextStyle bits
  int32_t textAlign;      // TextAlignment
  FontMetrics metrics;    // refreshed whenever the font changes
  char face[kFaceNameSize];  // the resolved face, empty for a stock font or a font the system chose
  HRGN clip;              // the context's clip as read at open, in logical coordinates
  int32_t savedState;     // SaveDC's answer when the restore flag is set
};

// The port and its world; on failure the world is freed and *port is none.
Status PortOpenWindow(HWND window, bool restore, GraphicsPort** port);
Status PortOpenDevice(HDC dc, bool restore, GraphicsPort** port);
// Puts the context's own objects back (or the stock ones), restores its state when saved, releases a
// window's context and frees the world. -7002 for a port whose world holds another record (an
// offscreen or printer port): those go with their pixel map or print job. None is allowed.
Status PortClose(GraphicsPort* port);

// For worlds that hold a port beside another record: fills a port of a new world on the context and
// reads the context's clip (window kNoWindow when the context is not to be released), and undoes that
// before the world is freed. A failed attach leaves nothing to detach.
Status PortAttach(GraphicsPort* port, HDC dc, HWND window, bool restore);
void PortDetach(GraphicsPort* port);

// Returns groups of the drawing state to their defaults, after setting the mapping mode to pixels and
// the background mode to opaque. Pen and fill (either pen flag): white background, copy pen, the stock
// black pen and brush, solid fill, no pen pattern, pen size 0. Text: black foreground, baseline-left
// alignment that moves the current position, the stock variable-pitch font (number 12, size 12, style
// 0, left). Clip: the clip read at open again. Origin: viewport origin (0, 0).
enum PortResetGroups : uint32_t {
  kResetPenAndFill = 1,
  kResetPen = 2,
  kResetText = 4,
  kResetClip = 8,
  kResetOrigin = 16,
};
Status PortReset(GraphicsPort* port, uint32_t groups);

// The foreground colour is the context's text colour; it also draws pens and solid fills.
Status PortGetForeColour(GraphicsPort* port, Colour* colour);
Status PortGetBackColour(GraphicsPort* port, Colour* colour);
Status PortSetBackColour(GraphicsPort* port, const Colour& colour);

// Each input may be none for no change; then the brush (or pen) is made again from the port's values
// and selected. A solid fill takes the stock brush for black, for the greys 0x808080 and 0x7F7F7F and
// for white, else a brush of its own. A pen pattern other than solid makes lines widened paths filled
// with the pattern; giving the solid pattern returns to a plain pen. A failure leaves the previously
// selected brush (or pen) in place.
Status PortSetFill(GraphicsPort* port, const Colour* fore, const Colour* back, const Pattern* fill);
Status PortSetPen(GraphicsPort* port, const Colour* fore, const Colour* back, const Pattern* penPattern,
                  int32_t penSize);  // -1: no change

// Ask for the area (logical coordinates) to be redrawn without erasing, or mark it drawn. Nothing
// happens while the window is hidden; -7002 for a port without a window.
Status PortInvalidateRect(GraphicsPort* port, const Rect& rect);
Status PortValidateRect(GraphicsPort* port, const Rect& rect);

// Moves the viewport origin to (x, y) device pixels; the previous one goes to *oldOrigin when given.
Status PortSetOrigin(GraphicsPort* port, int32_t x, int32_t y, Point* oldOrigin);

// Every drawing operation is bracketed by these: an offscreen port keeps its pixel map's memory and
// device copies in step here. Nothing is drawn when begin fails; end follows only a successful begin.
Status PortBeginDrawing(GraphicsPort* port);
void PortEndDrawing(GraphicsPort* port);
