#include "interface/controls/border_geometry.h"

#include <algorithm>

#include "runtime/text.h"

BorderLine border_line_style(const char* line) {
  if (!line) return kLineSolid;
  char upper[8];
  TextToUpperCopy(upper, line, sizeof upper);
  if (TextCompare(upper, "NONE") == 0) return kLineNone;
  if (TextCompare(upper, "DOTTED") == 0 || TextCompare(upper, "DASHED") == 0) return kLineDotted;
  return kLineSolid;
}

namespace {

template <class Channel>
Colour EachChannel(Colour colour, Channel channel) {
  return Colour{colour.alpha, channel(colour.red), channel(colour.green), channel(colour.blue)};
}

}  // namespace

Colour inactive_colour(Colour colour) {
  return EachChannel(colour, [](uint8_t v) { return uint8_t((v + 255) / 2); });
}

Colour bevel_light(Colour colour) {
  return EachChannel(colour, [](uint8_t v) { return uint8_t(v <= 160 ? v + 64 : 255); });
}

Colour bevel_dark(Colour colour) {
  return EachChannel(colour, [](uint8_t v) { return uint8_t(v >= 96 ? v - 48 : v >= 48 ? v / 2 : 0); });
}

FittedTitle fit_title(const char* title, int32_t titleLength, int32_t borderWidth, const TextMeasure& measure) {
  const int32_t limit = borderWidth * 2 / 3;
  FittedTitle fit{titleLength, false, measure.width(measure.context, title, titleLength, false)};
  while (fit.width > limit && fit.length > 0) {
    --fit.length;
    fit.shortened = true;
    fit.width = measure.width(measure.context, title, fit.length, true);
  }
  return fit;
}

TitleGap title_gap(const Rect& border, int32_t alignment, int32_t titleWidth) {
  const int32_t w = titleWidth;
  if (alignment < 0) return TitleGap{border.left + 12, border.left + 16 + w, border.left + 14};
  if (alignment > 0) return TitleGap{border.right - w - 16, border.right - 12, border.right - 14 - w};
  const int32_t start = border.left + (border.right - border.left) / 2 - w / 2;
  return TitleGap{start - 2, start + w + 2, start};
}

Opening edge_opening(const Rect& border, const TitleGap* gap) {
  if (!gap) return Opening{0, 0};
  // A line of zero width or height has no corners to keep.
  const bool straight = border.right == border.left || border.bottom == border.top;
  const int32_t first = straight ? border.left : border.left + 1;
  const int32_t last = straight ? border.right : border.right - 1;
  Opening opening{std::max(gap->left - 4, first), std::min(gap->right + 4, last)};
  return opening.left < opening.right ? opening : Opening{0, 0};
}

namespace {

bool IsOpen(Opening opening) { return opening.left < opening.right; }

void Add(BorderPolyline& line, int32_t x, int32_t y) {
  if (line.count > 0 && line.points[line.count - 1] == Point{x, y}) return;
  if (line.count < kMaxPolylinePoints) line.points[line.count++] = Point{x, y};
}

void AddPiece(FrameLines& lines, Point from, Point to) {
  if (from == to) return;
  BorderPolyline& piece = lines.pieces[lines.count++];
  piece = BorderPolyline{};
  Add(piece, from.x, from.y);
  Add(piece, to.x, to.y);
}

}  // namespace

FrameLines frame_lines(const Rect& border, Opening opening, int32_t notchWidth, int32_t notchHeight) {
  FrameLines lines{};
  const int32_t left = border.left, top = border.top;
  if (border.right == left) {
    AddPiece(lines, {left, top}, {left, border.bottom});
    return lines;
  }
  if (border.bottom == top) {
    if (!IsOpen(opening)) {
      AddPiece(lines, {left, top}, {border.right, top});
    } else {
      AddPiece(lines, {left, top}, {opening.left, top});
      AddPiece(lines, {opening.right, top}, {border.right, top});
    }
    return lines;
  }
  const int32_t right = border.right - 1, bottom = border.bottom - 1;
  if (right < left || bottom < top) return lines;
  const int32_t w = std::clamp(notchWidth, 0, right - left), h = std::clamp(notchHeight, 0, bottom - top);
  BorderPolyline& outline = lines.pieces[lines.count++];
  outline = BorderPolyline{};
  if (IsOpen(opening)) Add(outline, opening.left - 1, top);
  else Add(outline, right, top);
  Add(outline, left, top);
  Add(outline, left, bottom);
  if (w > 0 && h > 0) {
    Add(outline, right - w, bottom);
    Add(outline, right - w, bottom - h);
    Add(outline, right, bottom - h);
  } else {
    Add(outline, right, bottom);
  }
  Add(outline, right, top);
  // The last point is not drawn: the top-right corner was the start, or the line stops one short of
  // the opening's right end.
  if (IsOpen(opening)) Add(outline, opening.right - 1, top);
  return lines;
}

BevelRing bevel_ring(const Rect& border, Opening opening, int32_t ring) {
  BevelRing bevel{};
  const int32_t left = border.left + ring, top = border.top + ring;
  const int32_t right = border.right - 1 - ring, bottom = border.bottom - 1 - ring;
  if (ring < 1 || left >= right || top >= bottom) return bevel;
  bevel.fits = true;
  const int32_t openLeft = std::max(opening.left, left + 1), openRight = std::min(opening.right, right);
  if (IsOpen(opening) && openLeft < openRight) {
    BorderPolyline& rightPart = bevel.topLeft[bevel.topLeftCount++];
    Add(rightPart, right, top);
    Add(rightPart, openRight - 1, top);
    BorderPolyline& leftPart = bevel.topLeft[bevel.topLeftCount++];
    Add(leftPart, openLeft - 1, top);
    Add(leftPart, left, top);
    Add(leftPart, left, bottom);
  } else {
    BorderPolyline& whole = bevel.topLeft[bevel.topLeftCount++];
    Add(whole, right, top);
    Add(whole, left, top);
    Add(whole, left, bottom);
  }
  Add(bevel.bottomRight, left, bottom);
  Add(bevel.bottomRight, right, bottom);
  Add(bevel.bottomRight, right, top);
  return bevel;
}
