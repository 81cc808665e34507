// Fuzz target: the markup parser on any bytes, then the writer and a second parse of what it wrote.
// Checks that no tree breaks the model: depths match the levels, empty elements have no children.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "interface/markup_parser.h"
#include "interface/markup_writer.h"
#include "interface/node_walk.h"

namespace {

void CheckTree(MarkupNode* tree) {
  if (!tree) std::abort();
  WalkNodes(tree, [](MarkupNode* node, BlockStack<MarkupNode*>& parents) {
    if (node->depth != parents.Size() + 1) std::abort();
    if (node->kind == kNodeEmptyElement && node->children) std::abort();
    if (IsElementKind(node->kind) != (node->name != nullptr && node->attributes != nullptr)) std::abort();
    return WalkStep::kDescend;
  });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // An exact-size copy: the parser writes to its source (NUL becomes blank), and any read past the
  // end is caught.
  char* text = static_cast<char*>(std::malloc(size ? size : 1));
  std::memcpy(text, data, size);
  MemoryHandle sink = size % 2 ? HandleNew(0) : nullptr;
  MarkupNode* tree = nullptr;
  if (parse_markup_bytes(text, size, kRawContentTags, kAlwaysEmptyTags, sink, &tree) != kOk) std::abort();
  CheckTree(tree);

  MemoryHandle written = HandleNew(0);
  if (write_markup(tree, written) != kOk) std::abort();
  MarkupNode* again = nullptr;
  if (parse_markup(written, kRawContentTags, kAlwaysEmptyTags, nullptr, &again) != kOk) std::abort();
  CheckTree(again);

  free_node_list(again);
  free_node_list(tree);
  HandleDispose(written);
  HandleDispose(sink);
  std::free(text);
  return 0;
}
