// The elements of a page that get element records when it is built: in document order, each plain
// element below the PAGE whose tag names an element class. What lies inside one of them belongs to it
// (the text of a TEXTBOX, the ITEMs of a POPUP) and is not visited. Pure: the window supplies the
// classes and makes the records.
#pragma once

#include "interface/document_tree.h"
#include "interface/node_walk.h"

// classOf(tag) gives the element class of an upper-cased tag, or none; make(node, class) makes the
// element's record and returns its status. The first failure ends the walk and is returned; -7004
// when the walk itself runs out of memory.
template <class ClassOf, class Make>
Status walk_page_elements(MarkupNode* page, ClassOf classOf, Make make) {
  Status made = kOk;
  const Status walked = WalkNodes(page->children, [&](MarkupNode* node, BlockStack<MarkupNode*>&) {
    if (!is_plain_element(node)) return WalkStep::kDescend;
    const auto elementClass = classOf(node->name);
    if (!elementClass) return WalkStep::kDescend;
    made = make(node, elementClass);
    return made == kOk ? WalkStep::kSkipChildren : WalkStep::kStop;
  });
  return walked != kOk ? walked : made;
}
