// The text of an element: its content walked in document order, each text node with its style, the
// strings that P, BR, LI, DT and DD stand for, and the white-space rules that turn page source into
// the text a control shows. Pure: no system calls.
#pragma once

#include <cstddef>
#include <cstdint>

#include "interface/node_walk.h"
#include "interface/text_style.h"
#include "runtime/memory.h"

// One step of a walk over an element's content.
struct ContentStep {
  MarkupNode* node;  // none at the end
  RunStyle style;    // the style of text at the node's place (for an element: of the text around it)
};

// A walk over the nodes inside an element, in document order; the element itself is not visited.
struct ContentCursor {
  MarkupNode* element;
  MarkupNode* node;  // the node of the last step, none before the first
  RunStyle outer;    // the style of text directly inside the element
  struct Level {
    MarkupNode* parent;
    RunStyle style;  // the style of text directly inside `parent`
  };
  BlockStack<Level> levels;  // the elements entered below `element`
  bool ended;
};

// Sets the cursor before the element's first content node. -7005 when the element is not in the tree
// (whose first top-level node is `tree`), -7004 when memory runs out.
Status start_content_walk(ContentCursor* cursor, MarkupNode* tree, MarkupNode* element);
// The next node of any kind; step->node is none at the end.
Status next_content_node(ContentCursor* cursor, ContentStep* step);
// The next text node (kind -1) whose text is not empty.
Status next_text_run(ContentCursor* cursor, ContentStep* step);

// What a block element stands for in the text ("\n\n" for P, "\n\x95 " for LI, ...), or none.
const char* block_string(const MarkupNode* node);

// The text of an element after the white-space rules, cut into runs of one style each, with the
// ranges of links. Positions count bytes of `text` (a line break is CR LF, two bytes).
struct TextRun {
  uint32_t offset;
  uint32_t length;
  RunStyle style;
};

// Consecutive runs with the same link target form one link; its target is runs[firstRun].style.link.
struct LinkRange {
  uint32_t firstRun;
  uint32_t runCount;
};

struct StyledText {
  UniqueHandle text;   // the bytes, without a terminating NUL
  UniqueHandle runs;   // TextRun records, in text order; none of them is empty
  UniqueHandle links;  // LinkRange records, in text order
  RunStyle first;      // the style of the first text node, or of text directly inside the element when it has none

  size_t RunCount() const { return HandleGetSize(runs.get()) / sizeof(TextRun); }
  const TextRun& Run(size_t i) const { return reinterpret_cast<const TextRun*>(HandleData(runs.get()))[i]; }
  size_t LinkCount() const { return HandleGetSize(links.get()) / sizeof(LinkRange); }
  const LinkRange& Link(size_t i) const {
    return reinterpret_cast<const LinkRange*>(HandleData(links.get()))[i];
  }
  const char* Text() const { return reinterpret_cast<const char*>(HandleData(text.get())); }
  size_t TextLength() const { return HandleGetSize(text.get()); }
};

// Builds the text of `element`. Text nodes give their text, block elements their string, other nodes
// nothing. Text outside PRE is collapsed: TAB, LF, a lone CR and blank each count as one blank, and a
// blank is dropped after a blank, and at the start of a piece when the piece before ended in white
// space (the start of the text counts as white space). PRE text and block strings are kept: TAB gives
// four blanks, LF and a lone CR give CR LF. A CR directly before an LF always gives way to the LF.
Status build_styled_text(MarkupNode* tree, MarkupNode* element, StyledText* styled);
