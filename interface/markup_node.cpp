#include "interface/markup_node.h"

#include <cstring>

#include "interface/node_walk.h"
#include "runtime/memory.h"
#include "runtime/text.h"

namespace {

// The name or text lives in the node's own block, behind the record.
MarkupNode* AllocateNode(int32_t kind, const char* bytes, size_t length, ValueTable* attributes) {
  const bool element = IsElementKind(kind);
  if (!element && !IsTextKind(kind)) length = 0;
  auto* node = static_cast<MarkupNode*>(BlockNew(sizeof(MarkupNode) + length + 1));
  if (!node) return nullptr;
  char* copy = reinterpret_cast<char*>(node + 1);
  if (element) {
    for (size_t i = 0; i < length; ++i) copy[i] = char(AsciiUpper(uint8_t(bytes[i])));
  } else if (length) {
    std::memcpy(copy, bytes, length);
  }
  copy[length] = '\0';
  *node = {};
  node->kind = kind;
  node->name = element ? copy : nullptr;
  node->text = IsTextKind(kind) ? copy : nullptr;
  node->attributes = attributes;
  return node;
}

MarkupNode* CopyNode(const MarkupNode* source) {
  ValueTable* attributes = nullptr;
  if (source->attributes && !(attributes = copy_table(source->attributes))) return nullptr;
  const char* bytes = source->name ? source->name : source->text;
  MarkupNode* node = AllocateNode(source->kind, bytes, bytes ? std::strlen(bytes) : 0, attributes);
  if (!node) {
    free_table(attributes);
    return nullptr;
  }
  node->depth = source->depth;
  node->offset = source->offset;
  return node;
}

// The link that points at `node`: *root, a parent's `children` or a sibling's `next`; none when the
// node is not in the tree. Also gives the level of the list it is in (0 for the top level).
MarkupNode** FindLink(MarkupNode** root, const MarkupNode* node, Status* status) {
  *status = kOk;
  if (*root == node) return root;
  MarkupNode** link = nullptr;
  *status = WalkNodes(*root, [&](MarkupNode* candidate, BlockStack<MarkupNode*>&) {
    if (candidate->children == node) link = &candidate->children;
    else if (candidate->next == node) link = &candidate->next;
    return link ? WalkStep::kStop : WalkStep::kDescend;
  });
  if (*status == kOk && !link) *status = kErrNotFound;
  return link;
}

}  // namespace

MarkupNode* new_node(int32_t kind, const char* bytes, size_t length) {
  ValueTable* attributes = nullptr;
  if (IsElementKind(kind) && !(attributes = create_table(kTableCaseInsensitive))) return nullptr;
  MarkupNode* node = AllocateNode(kind, bytes, length, attributes);
  if (!node) free_table(attributes);
  return node;
}

Status link_node(MarkupNode** root, MarkupNode* node, NodePlace place, MarkupNode* reference) {
  MarkupNode** link = nullptr;
  uint32_t depth = 1;
  Status status = kOk;
  switch (place) {
    case NodePlace::kFirstChild:
    case NodePlace::kLastChild:
      if (reference) {
        if (reference != *root && !FindLink(root, reference, &status)) return status;
        link = &reference->children;
        depth = reference->depth + 1;
      } else {
        link = root;
      }
      if (place == NodePlace::kLastChild)
        while (*link) link = &(*link)->next;
      break;
    case NodePlace::kBefore:
      if (!reference || !(link = FindLink(root, reference, &status))) return reference ? status : kErrArgument;
      depth = reference->depth;
      break;
    case NodePlace::kAfter:
      if (!reference) return kErrArgument;
      if (reference != *root && !FindLink(root, reference, &status)) return status;
      link = &reference->next;
      depth = reference->depth;
      break;
  }
  status = renumber_depths(node, depth);
  if (status != kOk) return status;
  node->next = *link;
  *link = node;
  return kOk;
}

MarkupNode* new_node_at(MarkupNode** root, NodePlace place, MarkupNode* reference, int32_t kind,
                        const char* bytes, size_t length) {
  MarkupNode* node = new_node(kind, bytes, length);
  if (node && link_node(root, node, place, reference) != kOk) {
    free_node_list(node);
    return nullptr;
  }
  return node;
}

void free_node_list(MarkupNode* list) {
  // Children are spliced in behind their parent before it is freed, so the list flattens as it goes.
  while (list) {
    MarkupNode* node = list;
    if (node->children) {
      MarkupNode* last = node->children;
      while (last->next) last = last->next;
      last->next = node->next;
      node->next = node->children;
    }
    list = node->next;
    free_table(node->attributes);
    BlockDispose(node);
  }
}

MarkupNode* copy_node_list(const MarkupNode* list) {
  struct Pending {
    const MarkupNode* source;
    MarkupNode** link;
  };
  BlockStack<Pending> parents;
  MarkupNode* result = nullptr;
  MarkupNode** link = &result;
  for (const MarkupNode* source = list; source;) {
    MarkupNode* copy = CopyNode(source);
    if (!copy) break;
    *link = copy;
    if (source->children) {
      if (!parents.Push({source, &copy->next})) break;
      source = source->children;
      link = &copy->children;
      continue;
    }
    link = &copy->next;
    while (!source->next && !parents.Empty()) {
      const Pending parent = parents.Pop();
      source = parent.source;
      link = parent.link;
    }
    source = source->next;
    if (!source && parents.Empty()) return result;
  }
  free_node_list(result);
  return nullptr;
}

MarkupNode* next_in_document_order(MarkupNode* root, const MarkupNode* node) {
  bool seen = false;
  MarkupNode* next = nullptr;
  WalkNodes(root, [&](MarkupNode* candidate, BlockStack<MarkupNode*>&) {
    if (seen) {
      next = candidate;
      return WalkStep::kStop;
    }
    seen = candidate == node;
    return WalkStep::kDescend;
  });
  return next;
}

Status unlink_node(MarkupNode** root, MarkupNode* node, bool keepChildren, bool dispose) {
  Status status = kOk;
  MarkupNode** link = FindLink(root, node, &status);
  if (!link) return status;
  if (keepChildren || !node->children) {
    *link = node->next;
  } else {
    MarkupNode* last = node->children;
    for (MarkupNode* child = node->children; child; child = child->next) {
      if ((status = renumber_depths(child, node->depth)) != kOk) return status;
      last = child;
    }
    last->next = node->next;
    *link = node->children;
    node->children = nullptr;
  }
  node->next = nullptr;
  if (dispose) free_node_list(node);
  return kOk;
}

Status renumber_depths(MarkupNode* node, uint32_t level) {
  node->depth = level;
  return WalkNodes(node->children, [&](MarkupNode* child, BlockStack<MarkupNode*>& parents) {
    child->depth = level + 1 + uint32_t(parents.Size());
    return WalkStep::kDescend;
  });
}
