#include "interface/parameters.h"

#include <cstring>

#include "interface/markup_parser.h"
#include "interface/node_walk.h"
#include "interface/variables.h"
#include "runtime/memory.h"
#include "runtime/system_heap.h"

namespace {

bool IsParameter(const MarkupNode* node) {
  return (node->kind == kNodeElement || node->kind == kNodeEmptyElement) &&
         (std::strcmp(node->name, "PARAMETER") == 0 || std::strcmp(node->name, "PARAM") == 0);
}

Status Add(ParameterList* list, MarkupNode* element, uint32_t nesting) {
  if (list->count == list->capacity) {
    const size_t capacity = list->capacity ? list->capacity * 2 : 16;
    void* grown = list->items ? SystemHeapResize(list->items, capacity * sizeof(ParameterList::Item))
                              : SystemHeapAllocate(capacity * sizeof(ParameterList::Item), false);
    if (!grown) return kErrMemory;
    list->items = static_cast<ParameterList::Item*>(grown);
    list->capacity = capacity;
  }
  list->items[list->count++] = {element, nesting};
  return kOk;
}

Status Collect(ParameterList* list, MarkupNode* subtree, uint32_t nesting) {
  if (IsParameter(subtree)) {
    const Status status = Add(list, subtree, nesting);
    if (status != kOk) return status;
  }
  Status added = kOk;
  const Status walked = WalkNodes(subtree->children, [&](MarkupNode* node, BlockStack<MarkupNode*>&) {
    if (IsParameter(node) && (added = Add(list, node, nesting)) != kOk) return WalkStep::kStop;
    return WalkStep::kDescend;
  });
  return walked != kOk ? walked : added;
}

// Drops the entries behind `index` whose elements lie below the element at `index`; their nodes are
// about to be freed.
Status DropNested(ParameterList* list, size_t index) {
  return WalkNodes(list->items[index].element->children, [&](MarkupNode* node, BlockStack<MarkupNode*>&) {
    if (!IsParameter(node)) return WalkStep::kDescend;
    for (size_t i = index + 1; i < list->count; ++i) {
      if (list->items[i].element != node) continue;
      std::memmove(&list->items[i], &list->items[i + 1], (list->count - i - 1) * sizeof list->items[0]);
      --list->count;
      break;
    }
    return WalkStep::kDescend;
  });
}

Status Substitute(ParameterList* list, size_t index, const char* value) {
  Status status = DropNested(list, index);
  if (status != kOk) return status;
  const size_t length = entry_of_value(value)->valueLength;
  // The parser works in place, and the value belongs to the variable table.
  UniqueBlock<char> source(static_cast<char*>(BlockNew(length + 1)));
  if (!source) return kErrMemory;
  std::memcpy(source.get(), value, length);
  MarkupNode* tree = nullptr;
  status = parse_markup_bytes(source.get(), length, kRawContentTags, kAlwaysEmptyTags, nullptr, &tree);
  if (status != kOk) return status;

  MarkupNode* element = list->items[index].element;
  const uint32_t nesting = list->items[index].nesting + 1;
  free_node_list(element->children);
  element->children = tree;
  element->kind = kNodeElement;  // "<PARAMETER NAME=X/>" has content now
  for (MarkupNode* node = tree; node && status == kOk; node = node->next) {
    status = renumber_depths(node, element->depth + 1);
    if (status == kOk) status = Collect(list, node, nesting);
  }
  return status;
}

}  // namespace

Status collect_parameters(ParameterList* list, MarkupNode* subtree) { return Collect(list, subtree, 0); }

Status substitute_parameters(ParameterList* list, const ValueTable* windowVariables) {
  size_t shown = 0;
  // The list grows as values bring parameters of their own.
  for (size_t i = 0; i < list->count && shown < kParameterSubstitutionLimit; ++i) {
    const ParameterList::Item item = list->items[i];
    if (item.nesting > kParameterNestingLimit) continue;
    const char* name = get_value(item.element->attributes, "NAME");
    const char* value = name ? get_variable(windowVariables, name) : nullptr;
    if (!value) continue;
    const Status status = Substitute(list, i, value);
    if (status != kOk) return status;
    ++shown;
  }
  return kOk;
}

void free_parameter_list(ParameterList* list) {
  SystemHeapFree(list->items);
  *list = {};
}
