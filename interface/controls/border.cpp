// BORDER: a drawn frame or straight separator line, solid, dotted or without lines, with an optional
// title set into its top edge, bevel rings (INDENT) and a notched bottom-right corner (CHIPPED).
#include <windows.h>

#include <cstdlib>

#include "graphics/port.h"
#include "graphics/port_draw.h"
#include "graphics/port_text.h"
#include "interface/controls/border_geometry.h"
#include "interface/controls/native_control.h"
#include "interface/element_support.h"
#include "runtime/text.h"

namespace {

struct BorderRecord {
  MemoryHandle title;
  Colour fore;
  Colour back;
  uint8_t foreGiven;
  uint8_t backGiven;
  uint8_t chipped;
  uint8_t windowActive;
  uint8_t visible;
  int16_t line;       // BorderLine
  int16_t indent;     // bevel rings: > 0 sunken, < 0 raised
  int32_t alignment;  // of the title: -1 left, 0 centre, 1 right
  Rect rect;
};

constexpr int32_t kTitleTextSize = 9;

BorderRecord* RecordOf(const ElementContext& context) { return instance_record<BorderRecord>(context.instance); }

Colour ColourOf(COLORREF value) { return Colour{255, GetRValue(value), GetGValue(value), GetBValue(value)}; }

Status OnCreate(const ElementContext& context) {
  BorderRecord* border = instance_create<BorderRecord>(context.instance);
  if (!border) return kErrMemory;
  border->title = HandleNew(0);
  if (!border->title) return kErrMemory;
  border->fore = Colour{255, 0, 0, 0};
  border->back = Colour{255, 255, 255, 255};
  border->foreGiven = running_colour("FGCOLOR", &border->fore);
  border->backGiven = running_colour("BGCOLOR", &border->back);
  bool chipped = false;
  running_boolean("CHIPPED", &chipped);
  border->chipped = chipped;
  border->line = border_line_style(running_attribute("LINE"));
  int32_t indent = 0;
  running_integer("INDENT", &indent);
  border->indent = int16_t(indent < INT16_MIN ? INT16_MIN : indent > INT16_MAX ? INT16_MAX : indent);
  running_alignment(&border->alignment);
  border->windowActive = 1;
  border->visible = 1;
  return kOk;
}

// The colours not given come from the context: the window's colours are selected into it.
Status OnRealise(const ElementContext& context, BorderRecord& border) {
  if (!border.foreGiven) border.fore = ColourOf(GetTextColor(context.dc));
  if (!border.backGiven) border.back = ColourOf(GetBkColor(context.dc));
  return kOk;
}

// --- Drawing

Status DrawPolyline(GraphicsPort* port, const BorderPolyline& line) {
  if (line.count < 2) return kOk;
  Status status = PortMoveTo(port, line.points[0].x, line.points[0].y);
  for (size_t i = 1; i < line.count && status == kOk; ++i) status = PortLineTo(port, line.points[i].x, line.points[i].y);
  return status;
}

Status DrawBevel(GraphicsPort* port, const BorderRecord& border, Opening opening) {
  const Colour light = bevel_light(border.back), dark = bevel_dark(border.back);
  const Colour& topLeft = border.indent > 0 ? dark : light;
  const Colour& bottomRight = border.indent > 0 ? light : dark;
  Status status = kOk;
  for (int32_t ring = 1; ring <= std::abs(border.indent) && status == kOk; ++ring) {
    const BevelRing bevel = bevel_ring(border.rect, opening, ring);
    if (!bevel.fits) break;
    status = PortSetPen(port, &topLeft, nullptr, &kSolidPattern, 0);
    for (size_t i = 0; i < bevel.topLeftCount && status == kOk; ++i) status = DrawPolyline(port, bevel.topLeft[i]);
    if (status == kOk) status = PortSetPen(port, &bottomRight, nullptr, &kSolidPattern, 0);
    if (status == kOk) status = DrawPolyline(port, bevel.bottomRight);
  }
  return status;
}

// The background, leaving the chipped notch out.
Status FillBackground(GraphicsPort* port, const BorderRecord& border, int32_t notchWidth, int32_t notchHeight) {
  Status status = PortSetBackColour(port, border.back);
  const Rect& r = border.rect;
  if (status != kOk) return status;
  if (!border.chipped) return PortEraseRect(port, r);
  status = PortEraseRect(port, Rect{r.left, r.top, r.right, r.bottom - notchHeight});
  if (status == kOk) status = PortEraseRect(port, Rect{r.left, r.bottom - notchHeight, r.right - notchWidth, r.bottom});
  return status;
}

int32_t MeasureTitle(void* context, const char* text, int32_t length, bool ellipsis) {
  auto* port = static_cast<GraphicsPort*>(context);
  return PortTextWidth(port, text, length) + (ellipsis ? PortTextWidth(port, kEllipsis, 3) : 0);
}

Status DrawBorder(GraphicsPort* port, const BorderRecord& border, bool fillBackground) {
  Status status = PortReset(port, kResetPenAndFill | kResetText);
  if (status == kOk) status = PortSetTextSize(port, kTitleTextSize);
  if (status != kOk) return status;
  const Colour colour = border.windowActive ? border.fore : inactive_colour(border.fore);
  const Rect& r = border.rect;

  const char* title = text_buffer_text(border.title);
  const int32_t titleLength = int32_t(TextLength(title));
  FittedTitle fit{};
  TitleGap gap{};
  const bool titled = titleLength > 0 && r.right - r.left >= kMinimumTitledWidth;
  if (titled) {
    fit = fit_title(title, titleLength, r.right - r.left, TextMeasure{port, MeasureTitle});
    gap = title_gap(r, border.alignment, fit.width);
  }
  const Opening opening = edge_opening(r, titled ? &gap : nullptr);

  const int32_t notchWidth = border.chipped ? GetSystemMetrics(SM_CXHTHUMB) : 0;
  const int32_t notchHeight = border.chipped ? GetSystemMetrics(SM_CYVTHUMB) : 0;
  if (fillBackground) status = FillBackground(port, border, notchWidth, notchHeight);
  if (status == kOk && border.line != kLineNone) {
    const Pattern& pattern = border.line == kLineDotted ? kDottedPattern : kSolidPattern;
    status = PortSetPen(port, &colour, &border.back, &pattern, 0);
    const FrameLines lines = frame_lines(r, opening, notchWidth, notchHeight);
    for (size_t i = 0; i < lines.count && status == kOk; ++i) status = DrawPolyline(port, lines.pieces[i]);
  }
  if (status == kOk && border.indent != 0) status = DrawBevel(port, border, opening);
  if (status == kOk && titled) {
    FontMetrics metrics{};
    status = PortGetFontMetrics(port, &metrics);
    if (status == kOk) status = PortSetTextColour(port, colour);
    const int32_t baseline = r.top + (metrics.ascent - metrics.descent) / 2;
    if (status == kOk) status = PortDrawTextAt(port, gap.textLeft, baseline, title, fit.length);
    if (status == kOk && fit.shortened) status = PortDrawText(port, kEllipsis, 3);
  }
  return status;
}

Status OnDraw(const ElementContext& context, const BorderRecord& border, bool fillBackground) {
  GraphicsPort* port = nullptr;
  Status status = PortOpenDevice(context.dc, true, &port);
  if (status != kOk) return status;
  status = DrawBorder(port, border, fillBackground);
  Status closed = PortClose(port);
  return status != kOk ? status : closed;
}

template <class T>
T* Out(void* out) {
  return static_cast<T*>(out);
}

}  // namespace

// kMessageDraw's parameter, when not 0, asks for the background to be filled first.
Status border_element(const ElementContext& context, int32_t message, intptr_t parameter, void* out) {
  if (message == kMessageCreate) return OnCreate(context);
  BorderRecord* border = RecordOf(context);
  if (!border) return kErrState;
  switch (message) {
    case kMessageRealise:
      return OnRealise(context, *border);
    case kMessageDestroy:
      HandleDispose(border->title);
      border->title = nullptr;
      return kOk;
    case kMessageDraw:
      return OnDraw(context, *border, parameter != 0);
    case kMessageActivate:
    case kMessageDeactivate:
      border->windowActive = message == kMessageActivate;
      return kOk;
    case kMessageGetRect:
      *Out<Rect>(out) = border->rect;
      return kOk;
    case kMessageSetRect:
      border->rect = *reinterpret_cast<const Rect*>(parameter);
      return kOk;
    case kMessageGetTitle:
      return text_buffer_append(reinterpret_cast<MemoryHandle>(parameter), text_buffer_text(border->title));
    case kMessageSetTitle:
      return title_store(border->title, reinterpret_cast<const char*>(parameter));
    case kMessageGetVisible:
      *Out<bool>(out) = border->visible;
      return kOk;
    case kMessageSetVisible:
      border->visible = parameter != 0;
      return kOk;
    case kMessageGetForeColour:
      *Out<Colour>(out) = border->fore;
      return kOk;
    case kMessageSetForeColour:
      border->fore = *reinterpret_cast<const Colour*>(parameter);
      border->foreGiven = 1;
      return kOk;
    case kMessageGetBackColour:
      *Out<Colour>(out) = border->back;
      return kOk;
    case kMessageSetBackColour:
      border->back = *reinterpret_cast<const Colour*>(parameter);
      border->backGiven = 1;
      return kOk;
    default:
      return kOk;  // a border takes no input and holds no value
  }
}
