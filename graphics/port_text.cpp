#include "graphics/port_text.h"

#include "graphics/font_faces.h"
#include "graphics/port_objects.h"
#include "runtime/text.h"

namespace {

bool IsStockFontNumber(int32_t number) {
  return (number >= OEM_FIXED_FONT && number <= DEVICE_DEFAULT_FONT) || number == SYSTEM_FIXED_FONT;
}

UINT GdiAlignment(int32_t alignment) {
  const UINT horizontal = alignment == kAlignCentre ? TA_CENTER : alignment == kAlignRight ? TA_RIGHT : TA_LEFT;
  return TA_BASELINE | TA_UPDATECP | horizontal;
}

// *status becomes the system's error number when the font cannot be made; the stock font stands in.
HFONT FontNew(int32_t size, int32_t style, const char* face, Status* status) {
  HFONT font = CreateFontA(size, 0, 0, 0, (style & kTextBold) ? FW_BOLD : FW_NORMAL, (style & kTextItalic) != 0,
                           (style & kTextUnderline) != 0, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                           CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, face[0] ? face : nullptr);
  if (font) return font;
  // A failure must not read as success when the system left no error number.
  const DWORD error = GetLastError();
  *status = error != ERROR_SUCCESS ? static_cast<Status>(error) : kErrMemory;
  SetLastError(ERROR_SUCCESS);
  return static_cast<HFONT>(GetStockObject(kDefaultFontNumber));
}

}  // namespace

Status PortSetFont(GraphicsPort* port, const Colour* colour, const char* faces, int32_t fontNumber,
                   int32_t size, int32_t style, int32_t alignment) {
  char face[kFaceNameSize] = "";
  if (faces) FontResolveFaces(port->dc, faces, face);
  if (colour && SetTextColor(port->dc, GdiColour(*colour)) == CLR_INVALID) return GdiFailure(kErrMemory);
  if (SetTextAlign(port->dc, GdiAlignment(alignment)) == GDI_ERROR) return GdiFailure(kErrMemory);

  Status status = kOk;
  HFONT font;
  if (IsStockFontNumber(fontNumber)) {
    font = static_cast<HFONT>(GetStockObject(fontNumber));
    size = kDefaultTextSize;
    face[0] = '\0';  // a stock font has no face of ours
  } else {
    font = FontNew(size, style, face, &status);
  }
  const Status selected = PortSelectOwned(port, font, &port->fontReplaced);
  if (selected != kOk) return selected;

  TextCopy(port->face, face);
  port->fontNumber = fontNumber;
  port->textSize = size;
  port->textStyle = style;
  port->textAlign = alignment;
  const Status metrics = PortReadFontMetrics(port);
  return status != kOk ? status : metrics;
}

Status PortSetTextSize(GraphicsPort* port, int32_t size) {
  if (size == port->textSize) return kOk;
  return PortSetFont(port, nullptr, nullptr, port->fontNumber, size, port->textStyle, port->textAlign);
}

int32_t PortGetTextStyle(GraphicsPort* port) { return port->textStyle; }

Status PortSetTextStyle(GraphicsPort* port, int32_t style) {
  if (style == port->textStyle) return kOk;
  return PortSetFont(port, nullptr, nullptr, port->fontNumber, port->textSize, style, port->textAlign);
}

Status PortSetTextAlign(GraphicsPort* port, int32_t alignment) {
  if (alignment == port->textAlign) return kOk;
  return PortSetFont(port, nullptr, nullptr, port->fontNumber, port->textSize, port->textStyle, alignment);
}

Status PortGetFontMetrics(GraphicsPort* port, FontMetrics* metrics) {
  *metrics = port->metrics;
  return kOk;
}

Status PortReadFontMetrics(GraphicsPort* port) {
  TEXTMETRICA text;
  if (!GetTextMetricsA(port->dc, &text)) return GdiFailure(kErrMemory);
  port->metrics = FontMetrics{text.tmAscent, text.tmDescent, text.tmExternalLeading, text.tmHeight,
                              text.tmMaxCharWidth};
  return kOk;
}

Status PortSetTextColour(GraphicsPort* port, const Colour& colour) {
  return SetTextColor(port->dc, GdiColour(colour)) == CLR_INVALID ? GdiFailure(kErrMemory) : kOk;
}

int32_t PortTextWidth(GraphicsPort* port, const char* text, int32_t length) {
  SIZE extent;
  if (!GetTextExtentPoint32A(port->dc, text, length, &extent)) {
    GdiFailure(kErrMemory);
    return 0;
  }
  return extent.cx;
}

Status PortDrawText(GraphicsPort* port, const char* text, int32_t length) {
  POINT current;
  if (!GetCurrentPositionEx(port->dc, &current)) return GdiFailure(kErrMemory);
  return PortDrawTextAt(port, current.x, current.y, text, length);
}

Status PortDrawTextAt(GraphicsPort* port, int32_t x, int32_t y, const char* text, int32_t length) {
  DrawingScope drawing(port);
  if (drawing.status() != kOk) return drawing.status();
  TransparentScope transparent(port->dc);
  if (!MoveToEx(port->dc, x, y, nullptr) || !TextOutA(port->dc, x, y, text, length)) return GdiFailure(kErrMemory);
  return kOk;
}
