// The listed children of an element: its child elements of one tag (the ITEMs of a pop-up, the IMAGEs
// of a button) in document order, and those nested in them, as a list whose closing tags were left
// out ("<ITEM TITLE=a><ITEM TITLE=b>") is parsed. Other elements are not entered. Pure.
#pragma once

#include "interface/markup_node.h"
#include "interface/node_walk.h"
#include "runtime/text.h"

// Calls visit(const MarkupNode*) for each listed child until it answers a status other than 0, which
// is returned. -7004 when memory runs out.
template <class Visit>
Status visit_listed_children(const MarkupNode* parent, const char* tag, Visit visit) {
  BlockStack<const MarkupNode*> pending;  // the next node to look at on each level, innermost on top
  if (!pending.Push(parent->children)) return kErrMemory;
  while (!pending.Empty()) {
    const MarkupNode* node = pending.Pop();
    if (!node) continue;
    if (!pending.Push(node->next)) return kErrMemory;
    if (!IsElementKind(node->kind) || !node->name || TextCompare(node->name, tag) != 0) continue;
    if (Status status = visit(node); status != kOk) return status;
    if (!pending.Push(node->children)) return kErrMemory;
  }
  return kOk;
}
