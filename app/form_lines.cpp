#include "app/form_lines.h"

#include "graphics/port_draw.h"
#include "graphics/port_text.h"
#include "runtime/text.h"

namespace {

constexpr char kLineEnd[] = "\r\n";

// The next line of a value: its length, and where the line after it starts (none after the last).
struct ValueLine {
  const char* start;
  size_t length;
  const char* next;
};

ValueLine CutLine(const char* start) {
  const char* end = start;
  while (*end && *end != '\r' && *end != '\n') ++end;
  const char* next = nullptr;
  if (*end) {
    next = end + ((end[0] == '\r' && end[1] == '\n') ? 2 : 1);
    if (!*next) next = nullptr;  // a break at the very end starts no line
  }
  return ValueLine{start, size_t(end - start), next};
}

Status AppendBlanks(MemoryHandle text, size_t count) {
  static constexpr char kBlanks[] = "                  ";  // the label columns
  static_assert(sizeof kBlanks - 1 == kFormLabelColumns);
  Status status = kOk;
  while (status == kOk && count > 0) {
    const size_t part = count < sizeof kBlanks - 1 ? count : sizeof kBlanks - 1;
    status = HandleAppendData(text, kBlanks, part);
    count -= part;
  }
  return status;
}

// The value's lines, each after `indent` blanks except the first when it follows a label.
Status AppendValue(MemoryHandle text, const char* value, bool firstFollowsLabel) {
  Status status = kOk;
  for (const char* line = value; line && status == kOk;) {
    const ValueLine cut = CutLine(line);
    if (!firstFollowsLabel || line != value) status = AppendBlanks(text, kFormLabelColumns + 1);
    if (status == kOk) status = HandleAppendData(text, cut.start, cut.length);
    if (status == kOk) status = HandleAppendData(text, kLineEnd, 2);
    line = cut.next;
  }
  return status;
}

Status WriteText(MemoryHandle text, const char* label, const char* value) {
  if (!label) return value ? AppendValue(text, value, false) : kOk;
  const size_t length = TextLength(label);
  Status status = kOk;
  if (value && length < size_t(kFormLabelColumns)) status = AppendBlanks(text, kFormLabelColumns - length);
  if (status == kOk) status = HandleAppendData(text, label, length);
  if (!value) return status == kOk ? HandleAppendData(text, kLineEnd, 2) : status;
  if (status == kOk) status = HandleAppendData(text, " ", 1);
  return status == kOk ? AppendValue(text, value, true) : status;
}

Status SetTypeAndAlignment(GraphicsPort* printer, int32_t size, int32_t style, int32_t alignment) {
  if (size == printer->textSize && style == printer->textStyle && alignment == printer->textAlign) return kOk;
  char face[kFaceNameSize];
  TextCopy(face, printer->face);
  return PortSetFont(printer, nullptr, face, printer->fontNumber, size, style, alignment);
}

// One drawn line: the label ending at the tab stop, the value line after it, then one line lower.
Status DrawLine(GraphicsPort* printer, Point tab, int32_t style, const char* label, const char* value,
                size_t valueLength) {
  const int32_t size = printer->textSize;
  Status status = kOk;
  if (label) {
    status = SetTypeAndAlignment(printer, size, style & ~kTextBold, kAlignRight);
    if (status == kOk) status = PortDrawTextAt(printer, tab.x, tab.y, label, int32_t(TextLength(label)));
  }
  if (status == kOk && value) {
    status = SetTypeAndAlignment(printer, size, label ? style | kTextBold : style & ~kTextItalic, kAlignLeft);
    if (status == kOk) status = PortDrawTextAt(printer, tab.x + kFormValueIndent, tab.y, value, int32_t(valueLength));
  }
  if (status == kOk) status = PortMoveTo(printer, tab.x, tab.y);
  return status == kOk ? FormNewLine(printer, nullptr) : status;
}

Status WritePrinted(GraphicsPort* printer, const char* label, const char* value) {
  Point tab;
  Status status = PortGetPen(printer, &tab);
  if (status != kOk) return status;
  const int32_t style = printer->textStyle, alignment = printer->textAlign;
  if (!value) {
    status = DrawLine(printer, tab, style, label, nullptr, 0);
  } else {
    // Lines after the first go under it with an empty label, so that they keep its style.
    const char* lineLabel = label;
    for (const char* line = value; line && status == kOk;) {
      const ValueLine cut = CutLine(line);
      status = DrawLine(printer, tab, style, lineLabel, cut.start, cut.length);
      if (label) lineLabel = "";
      line = cut.next;
      if (line) status = status == kOk ? PortGetPen(printer, &tab) : status;
    }
  }
  const Status restored = SetTypeAndAlignment(printer, printer->textSize, style, alignment);
  return status != kOk ? status : restored;
}

}  // namespace

Status FormWriteLine(GraphicsPort* printer, MemoryHandle text, const char* label, const char* value) {
  if (bool(printer) == bool(text)) return kErrArgument;
  return text ? WriteText(text, label, value) : WritePrinted(printer, label, value);
}

Status FormNewLine(GraphicsPort* printer, MemoryHandle text) {
  if (bool(printer) == bool(text)) return kErrArgument;
  if (text) return HandleAppendData(text, kLineEnd, 2);
  Point pen;
  const Status status = PortGetPen(printer, &pen);
  return status == kOk ? PortMoveTo(printer, pen.x, pen.y + FormLineHeight(printer)) : status;
}

Status FormSetType(GraphicsPort* printer, int32_t size, int32_t style) {
  return SetTypeAndAlignment(printer, size, style, printer->textAlign);
}

int32_t FormLineHeight(GraphicsPort* printer) { return printer->metrics.height + printer->metrics.leading; }
