// The markup writer: the inverse of the parser. Reading its output back gives the same tree, so page
// tools can rewrite pages and tests can check the parser against it.
#pragma once

#include "interface/markup_node.h"
#include "runtime/memory.h"
#include "runtime/status.h"

// Appends the markup of the list and everything below it to `out`: text escaped with entities,
// attribute values in double quotes with percent escapes, raw text and comments as they were.
// Elements with children, and kind 2 elements without, get an end tag; the others close with "/>".
Status write_markup(const MarkupNode* list, MemoryHandle out);
