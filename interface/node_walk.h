// Iterative walks over markup trees. Parsed input may nest arbitrarily deep, so nothing that walks a
// tree recurses: pending ancestors go on a stack that grows on the heap.
#pragma once

#include <cstddef>
#include <cstring>

#include "interface/markup_node.h"
#include "runtime/system_heap.h"

template <class T>
class BlockStack {
 public:
  BlockStack() = default;
  ~BlockStack() {
    if (items_ != inline_) SystemHeapFree(items_);
  }
  BlockStack(const BlockStack&) = delete;
  BlockStack& operator=(const BlockStack&) = delete;

  bool Push(const T& item) {
    if (count_ == capacity_ && !Grow()) return false;
    items_[count_++] = item;
    return true;
  }
  T Pop() { return items_[--count_]; }
  T& Top() { return items_[count_ - 1]; }
  T& operator[](size_t i) { return items_[i]; }
  size_t Size() const { return count_; }
  bool Empty() const { return count_ == 0; }

 private:
  bool Grow() {
    const size_t capacity = capacity_ * 2;
    void* grown = items_ == inline_ ? SystemHeapAllocate(capacity * sizeof(T), false)
                                    : SystemHeapResize(items_, capacity * sizeof(T));
    if (!grown) return false;
    if (items_ == inline_) std::memcpy(grown, inline_, sizeof inline_);
    items_ = static_cast<T*>(grown);
    capacity_ = capacity;
    return true;
  }

  static constexpr size_t kInline = 32;
  T inline_[kInline];
  T* items_ = inline_;
  size_t count_ = 0;
  size_t capacity_ = kInline;
};

enum class WalkStep { kDescend, kSkipChildren, kStop };

// Pre-order over a list and everything below it. enter(node, parents) decides whether to go into the
// node's children (parents.Top() is the node's parent, parents.Size() its level below the list);
// leave(node) runs once the node's children are done. -7004 when the stack cannot grow.
template <class Node, class Enter, class Leave>
Status WalkNodes(Node* list, Enter enter, Leave leave) {
  BlockStack<Node*> parents;
  Node* node = list;
  while (node) {
    const WalkStep step = enter(node, parents);
    if (step == WalkStep::kStop) return kOk;
    if (step == WalkStep::kDescend && node->children) {
      if (!parents.Push(node)) return kErrMemory;
      node = node->children;
      continue;
    }
    leave(node);
    while (!node->next) {
      if (parents.Empty()) return kOk;
      node = parents.Pop();
      leave(node);
    }
    node = node->next;
  }
  return kOk;
}

template <class Node, class Enter>
Status WalkNodes(Node* list, Enter enter) {
  return WalkNodes(list, enter, [](Node*) {});
}
