// The markup parser: turns a page file, or the value of a variable, into a markup tree. It never rejects
// a document: bad nesting, stray characters and repeated attributes are repaired, and reported to a
// diagnostic sink when the caller gives one. It knows no tag names except the two sets it is handed.
#pragma once

#include <cstddef>
#include <cstdint>

#include "interface/markup_node.h"
#include "runtime/memory.h"
#include "runtime/status.h"

// The sets every page of this system is read with.
constexpr char kRawContentTags[] = "SCRIPT";
constexpr char kAlwaysEmptyTags[] = "LI BR P";

// One complaint. The sink is a memory handle that the parser appends these records to.
struct MarkupDiagnostic {
  int32_t code;         // -7006 for a repeated attribute, 0 otherwise
  uint32_t offset;      // of the offending tag's '<'
  uint32_t length;      // of the tag
  uint32_t line;        // 1-based; LF, and a CR not followed by LF, end a line
  uint32_t lineStart;   // offset of the line's first byte
  uint32_t lineLength;
  char sourceName[256];
  char message[256];
};

// Parses the text in the handle (locked meanwhile). The two sets are blank-separated tag names: the
// bodies of raw-content elements are kept verbatim; always-empty elements never take children.
// NUL bytes in the source are replaced by blanks in place. On success *tree is the first top-level
// node (a source that yields no node gives one empty text node) and belongs to the caller. -7004 when memory runs
// out, or the sink's error when a record cannot be appended; no tree is returned then.
Status parse_markup(MemoryHandle text, const char* rawContentTags, const char* alwaysEmptyTags,
                    MemoryHandle diagnostics, MarkupNode** tree);
// The same over a plain buffer.
Status parse_markup_bytes(char* text, size_t length, const char* rawContentTags, const char* alwaysEmptyTags,
                          MemoryHandle diagnostics, MarkupNode** tree);
