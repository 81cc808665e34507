// Markup trees: what the parser makes of a page file or a variable's value, and the list operations the
// engine uses on them. Trees have no parent links; `depth` (1 for top-level nodes) lets a walk from the
// root tell where a node sits.
#pragma once

#include <cstddef>
#include <cstdint>

#include "runtime/status.h"
#include "runtime/value_table.h"

// Node kinds. 3 to 126 are special tags: the kind is the tag's special opening character ('#', '?', ...).
enum : int32_t {
  kNodeComment = -3,       // "<!--" up to, not including, the closing '>'
  kNodeRawText = -2,       // the verbatim body of a raw-content element
  kNodeText = -1,          // text between tags, entities decoded
  kNodeGroup = 0,          // children only
  kNodeEmptyElement = 1,   // never has children
  kNodeElement = 2,
  kNodeLastSpecial = 126,
};

inline bool IsTextKind(int32_t kind) { return kind < 0; }
inline bool IsElementKind(int32_t kind) { return kind >= kNodeEmptyElement && kind <= kNodeLastSpecial; }

struct MarkupNode {
  MarkupNode* next;
  MarkupNode* children;
  int32_t kind;
  char* name;               // element kinds: the tag name, upper-cased; none otherwise
  char* text;               // text kinds: NUL-terminated; none otherwise
  ValueTable* attributes;   // element kinds: case-insensitive, in the order written
  uint32_t depth;
  uint32_t offset;          // where the node began in the source text
};

// A node without links. Element kinds get `bytes` upper-cased as their name and an empty attribute
// table; text kinds get a copy of `bytes`; a group takes nothing. None when memory runs out.
MarkupNode* new_node(int32_t kind, const char* bytes, size_t length);

enum class NodePlace { kFirstChild, kLastChild, kBefore, kAfter };
// Links a single node (its `next` is overwritten) into the tree whose top-level list starts at *root:
// as first or last child of `reference` (none: of the top level), or before or after the sibling
// `reference`. The node's subtree is renumbered. -7005 when `reference` is not in the tree.
Status link_node(MarkupNode** root, MarkupNode* node, NodePlace place, MarkupNode* reference);
// new_node and link_node in one; none when either fails (nothing is left behind).
MarkupNode* new_node_at(MarkupNode** root, NodePlace place, MarkupNode* reference, int32_t kind,
                        const char* bytes, size_t length);

// Frees the node, its following siblings and everything below them.
void free_node_list(MarkupNode* list);
// Deep copy of the node, its children and its following siblings; none when memory runs out.
MarkupNode* copy_node_list(const MarkupNode* list);

// The node after `node` in a pre-order walk of the tree at `root`; none at the end.
MarkupNode* next_in_document_order(MarkupNode* root, const MarkupNode* node);
// Takes the node out of its list. With keepChildren its subtree goes with it; otherwise its children
// take its place. With dispose the node (and a kept subtree) is freed. -7005 when it is not in the tree.
Status unlink_node(MarkupNode** root, MarkupNode* node, bool keepChildren, bool dispose);
// Sets depth `level` on the node and level + 1, + 2, ... below it (not on its siblings).
Status renumber_depths(MarkupNode* node, uint32_t level);
