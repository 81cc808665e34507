// The geometry and colours of a border: its line style, the title shortened to fit and the gap it
// leaves in the top edge, the outline as one polyline, the bevel rings and their colours. Pure: the
// drawing is in border.cpp.
#pragma once

#include <cstddef>
#include <cstdint>

#include "graphics/graphics_types.h"

enum BorderLine : int16_t { kLineNone = 0, kLineDotted = 1, kLineSolid = 2 };

// LINE: "NONE", "DOTTED" and "DASHED" (drawn alike), anything else or none solid; any letter case.
BorderLine border_line_style(const char* line);

// Dotted lines alternate pixels in a checkerboard, so that a line at any position is dotted.
constexpr Pattern kDottedPattern{{0xAA, 0xAA, 0x55, 0x55, 0xAA, 0xAA, 0x55, 0x55, 0xAA, 0xAA, 0x55, 0x55, 0xAA, 0xAA,
                                  0x55, 0x55}};

// An inactive window draws its borders half-way to white.
Colour inactive_colour(Colour colour);
// The bevel's colours derived from a colour: lighter and darker, each channel on its own.
Colour bevel_light(Colour colour);
Colour bevel_dark(Colour colour);

// Measures text in the font the title is drawn in: the characters, followed by "..." when asked.
struct TextMeasure {
  void* context;
  int32_t (*width)(void* context, const char* text, int32_t length, bool ellipsis);
};

constexpr char kEllipsis[] = "...";

// A title that fits in two thirds of the border's width: the first `length` characters of the title,
// followed by "..." when `shortened`; `width` is what that measures.
struct FittedTitle {
  int32_t length;
  bool shortened;
  int32_t width;
};
// Characters are dropped from the end while the title (with "...", once shortened) is wider than two
// thirds of `borderWidth`; at worst "..." alone remains.
FittedTitle fit_title(const char* title, int32_t titleLength, int32_t borderWidth, const TextMeasure& measure);

// A border narrower than this draws no title.
constexpr int32_t kMinimumTitledWidth = 21;

// The opening the title leaves in the top edge (pixels left <= x < right) and where the text starts.
struct TitleGap {
  int32_t left;
  int32_t right;
  int32_t textLeft;
};
// `alignment`: -1 left, 0 centre, 1 right.
TitleGap title_gap(const Rect& border, int32_t alignment, int32_t titleWidth);

// The pixels of the top edge left open: the gap with 4 pixels more on each side, within the border
// and short of its corners (the outline keeps its corner pixels).
struct Opening {
  int32_t left;
  int32_t right;  // exclusive; left == right is no opening
};
Opening edge_opening(const Rect& border, const TitleGap* gap);

// Polylines drawn the system's way: from point to point, each segment's last pixel left to the next
// one, the final point itself not drawn.
constexpr size_t kMaxPolylinePoints = 8;
struct BorderPolyline {
  Point points[kMaxPolylinePoints];
  size_t count;
};

// The frame's lines: up to two polylines (a straight line split by the opening has two pieces).
// A border of zero width is one vertical line down its left, one of zero height a line along its
// top; otherwise the outline on the border's outermost pixels, starting at the opening's left end,
// round by the left, bottom and right sides and back along the top to the opening's right end. A
// notch (chipped corner; 0 by 0 for none) is cut out of the bottom-right corner.
struct FrameLines {
  BorderPolyline pieces[2];
  size_t count;
};
FrameLines frame_lines(const Rect& border, Opening opening, int32_t notchWidth, int32_t notchHeight);

// Bevel ring `ring` (1 next to the frame line, then inwards): its top and left edges and its bottom
// and right edges as polylines, the top edge split by the opening (so up to three polylines: the first
// one or two are top-left, the last bottom-right). A positive indent draws top-left dark and
// bottom-right light, a negative one the other way round. None when the ring does not fit.
struct BevelRing {
  BorderPolyline topLeft[2];
  size_t topLeftCount;
  BorderPolyline bottomRight;
  bool fits;
};
BevelRing bevel_ring(const Rect& border, Opening opening, int32_t ring);
