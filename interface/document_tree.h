// Questions asked of a parsed page: finding elements by tag in document order, their attributes, and
// the attributes they inherit from the elements around them. Markup trees have no parent links, so the
// ancestors of a node are found by a walk from the top of its tree (`tree`: the document's first
// top-level node). Pure: no system calls.
#pragma once

#include <cstdint>

#include "interface/markup_node.h"

// An element (kinds 1 and 2, not a special tag), and one of that upper-cased tag.
bool is_plain_element(const MarkupNode* node);
bool has_tag(const MarkupNode* node, const char* upperTag);

// The next element (kinds 1 and 2; special tags never match) named `tag` after `after` in document
// order, or the first one when `after` is none. With skipSubtree, the search does not enter the
// children of `after`. None at the end.
MarkupNode* find_tagged_element(MarkupNode* tree, const MarkupNode* after, const char* tag, bool skipSubtree);

// The value of the element's attribute (names compared upper-cased), or none.
const char* element_attribute(const MarkupNode* element, const char* name);

// The attribute on the node itself or, with inherit, on its nearest ancestor that has it. With a tag,
// only elements of that tag are asked. None when nobody has it (or the node is not in the tree).
const char* inherited_attribute(MarkupNode* tree, const MarkupNode* node, const char* tag, const char* name,
                                bool inherit);

// The node itself when its tag is `tag`, else its nearest ancestor of that tag; none when there is none.
MarkupNode* enclosing_element(MarkupNode* tree, const MarkupNode* node, const char* tag);

// ALIGN of the node or of its nearest ancestor, the INTERFACE element acting as the document's
// default; inside a CENTER element only the range from the node up to that CENTER is searched. The
// answer is whether an ALIGN was found; *alignment is its value (-1 left, 0 centre, 1 right), centre
// when none was.
bool element_alignment(MarkupNode* tree, const MarkupNode* node, int32_t* alignment);
