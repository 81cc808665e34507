#include "interface/document_tree.h"

#include <cstring>

#include "interface/attribute_values.h"
#include "interface/node_walk.h"
#include "runtime/text.h"

namespace {

// The node's ancestors, outermost first, in *path; false when the node is not in the tree (or the
// stack cannot grow).
bool FindAncestors(MarkupNode* tree, const MarkupNode* node, BlockStack<MarkupNode*>* path) {
  bool found = false;
  bool copied = true;
  WalkNodes(tree, [&](MarkupNode* candidate, BlockStack<MarkupNode*>& parents) {
    if (candidate != node) return WalkStep::kDescend;
    found = true;
    for (size_t i = 0; i < parents.Size() && copied; ++i) copied = path->Push(parents[i]);
    return WalkStep::kStop;
  });
  return found && copied;
}

// A tag name upper-cased into a fixed buffer, so that callers may pass names in any case.
struct UpperTag {
  explicit UpperTag(const char* tag) { TextToUpperCopy(text, tag ? tag : "", sizeof text); }
  char text[256];
};

}  // namespace

bool is_plain_element(const MarkupNode* node) { return node->kind == kNodeElement || node->kind == kNodeEmptyElement; }

bool has_tag(const MarkupNode* node, const char* upperTag) {
  return is_plain_element(node) && std::strcmp(node->name, upperTag) == 0;
}

MarkupNode* find_tagged_element(MarkupNode* tree, const MarkupNode* after, const char* tag, bool skipSubtree) {
  const UpperTag wanted(tag);
  bool passed = after == nullptr;
  MarkupNode* found = nullptr;
  WalkNodes(tree, [&](MarkupNode* node, BlockStack<MarkupNode*>&) {
    if (!passed) {
      if (node != after) return WalkStep::kDescend;
      passed = true;
      return skipSubtree ? WalkStep::kSkipChildren : WalkStep::kDescend;
    }
    if (!has_tag(node, wanted.text)) return WalkStep::kDescend;
    found = node;
    return WalkStep::kStop;
  });
  return found;
}

const char* element_attribute(const MarkupNode* element, const char* name) {
  return element && IsElementKind(element->kind) && element->attributes ? get_value(element->attributes, name)
                                                                         : nullptr;
}

const char* inherited_attribute(MarkupNode* tree, const MarkupNode* node, const char* tag, const char* name,
                                bool inherit) {
  const UpperTag wanted(tag);
  auto asked = [&](const MarkupNode* candidate) { return !tag || has_tag(candidate, wanted.text); };
  if (asked(node))
    if (const char* value = element_attribute(node, name)) return value;
  if (!inherit) return nullptr;
  BlockStack<MarkupNode*> path;
  if (!FindAncestors(tree, node, &path)) return nullptr;
  while (!path.Empty()) {
    const MarkupNode* ancestor = path.Pop();
    if (!asked(ancestor)) continue;
    if (const char* value = element_attribute(ancestor, name)) return value;
  }
  return nullptr;
}

MarkupNode* enclosing_element(MarkupNode* tree, const MarkupNode* node, const char* tag) {
  const UpperTag wanted(tag);
  if (has_tag(node, wanted.text)) return const_cast<MarkupNode*>(node);
  BlockStack<MarkupNode*> path;
  if (!FindAncestors(tree, node, &path)) return nullptr;
  while (!path.Empty()) {
    MarkupNode* ancestor = path.Pop();
    if (has_tag(ancestor, wanted.text)) return ancestor;
  }
  return nullptr;
}

bool element_alignment(MarkupNode* tree, const MarkupNode* node, int32_t* alignment) {
  *alignment = 0;  // centre
  const char* value = element_attribute(node, "ALIGN");
  BlockStack<MarkupNode*> path;
  if (!value && !has_tag(node, "CENTER") && FindAncestors(tree, node, &path)) {
    // The range runs from the node up to the nearest CENTER (included), else to the top of the tree.
    size_t top = 0;
    for (size_t i = path.Size(); i > 0; --i) {
      if (has_tag(path[i - 1], "CENTER")) {
        top = i - 1;
        break;
      }
    }
    for (size_t i = path.Size(); !value && i > top; --i) value = element_attribute(path[i - 1], "ALIGN");
  }
  if (!value) return false;
  *alignment = read_alignment(value);
  return true;
}
