// The order's line writer: one label and its value per line, either appended as text to a buffer or
// drawn on a printed page. Both forms share the layout: the label ends at a fixed column (a tab stop
// on paper), the value follows it, and a value of several lines continues under its first line.
#pragma once

#include <cstdint>

#include "graphics/port.h"
#include "runtime/memory.h"

// Text: labels end in this column and the value starts one blank after it.
constexpr int32_t kFormLabelColumns = 18;
// Paper: the value starts this many points right of the tab stop.
constexpr int32_t kFormValueIndent = 5;

// Exactly one of printer and text is given. Label and value may each be none.
// Text: a label with a value is right-aligned in the label columns (a longer label is not padded),
// then a blank and the value's first line; a label alone stands at the line's start without padding;
// a value alone starts at the value column. Every line ends with CR LF; the value's further lines
// (broken at CR LF, a lone CR or a lone LF; a break at the very end starts no empty line) each start
// at the value column.
// Paper: the pen is the tab stop. The label ends there, drawn without bold; the value starts
// kFormValueIndent right of it, bold after a label and without italic when alone; each value line
// is a line of its own, and the pen comes back to the tab stop one line lower.
Status FormWriteLine(GraphicsPort* printer, MemoryHandle text, const char* label, const char* value);
// Text: CR LF. Paper: the pen moves down by the font's line height, keeping its x.
Status FormNewLine(GraphicsPort* printer, MemoryHandle text);

// Paper: the size and style of the text, keeping its face (the port's own setters let the system
// choose the face again) and its alignment.
Status FormSetType(GraphicsPort* printer, int32_t size, int32_t style);
// Paper: the height of one line in the current font.
int32_t FormLineHeight(GraphicsPort* printer);
