#include "interface/page_directory.h"

#include <cstring>

#include "interface/document_tree.h"
#include "interface/node_walk.h"
#include "runtime/memory.h"
#include "runtime/text.h"
#include "runtime/value_table.h"

namespace {

uint32_t Bucket(const char* name) { return value_key_hash(name, false) % kPageBucketCount; }

}  // namespace

Status build_page_directory(MarkupNode* interfaceElement, PageDirectory* directory) {
  *directory = {};
  uint32_t count = 0;
  auto pagesBelow = [&](auto visit) {
    return WalkNodes(interfaceElement->children, [&](MarkupNode* node, BlockStack<MarkupNode*>&) {
      if (!has_tag(node, "PAGE")) return WalkStep::kDescend;
      visit(node);
      return WalkStep::kSkipChildren;
    });
  };
  Status status = pagesBelow([&](MarkupNode*) { ++count; });
  if (status != kOk || count == 0) return status;
  auto* pages = static_cast<PageRecord*>(BlockNewClear(count * sizeof(PageRecord)));
  if (!pages) return kErrMemory;
  uint32_t index = 0;
  status = pagesBelow([&](MarkupNode* node) {
    PageRecord& page = pages[index];
    page.element = node;
    page.index = index++;
    const char* name = element_attribute(node, "NAME");
    const char* title = element_attribute(node, "TITLE");
    TextCopyBounded(page.name, name ? name : "", sizeof page.name);
    TextCopyBounded(page.title, title ? title : "", sizeof page.title);
  });
  if (status != kOk) {
    BlockDispose(pages);
    return status;
  }
  directory->pages = pages;
  directory->count = count;
  // Chains keep document order, so the first page of a repeated name wins.
  for (uint32_t i = count; i > 0; --i) {
    PageRecord& page = pages[i - 1];
    PageRecord*& head = directory->buckets[Bucket(page.name)];
    page.chain = head;
    head = &page;
  }
  return kOk;
}

void free_page_directory(PageDirectory* directory) {
  BlockDispose(directory->pages);
  *directory = {};
}

PageRecord* page_by_name(const PageDirectory* directory, const char* name) {
  if (!directory->pages) return nullptr;
  for (PageRecord* page = directory->buckets[Bucket(name)]; page; page = page->chain)
    if (std::strcmp(page->name, name) == 0) return page;
  return nullptr;
}

PageRecord* page_by_index(const PageDirectory* directory, int32_t index) {
  return index >= 0 && uint32_t(index) < directory->count ? &directory->pages[index] : nullptr;
}
