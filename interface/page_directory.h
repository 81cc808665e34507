// The page directory of a loaded interface: its PAGE elements in document order, with a hash table
// of their names. Page names are matched exactly, letter case included ("#Main" does not find "main").
// Pure: no system calls.
#pragma once

#include <cstddef>
#include <cstdint>

#include "interface/markup_node.h"
#include "runtime/status.h"

constexpr size_t kPageNameSize = 256;
constexpr uint32_t kPageBucketCount = 31;

struct PageRecord {
  PageRecord* chain;            // the next page of the same bucket
  MarkupNode* element;          // the PAGE element
  uint32_t index;               // 0 for the interface's first page
  char name[kPageNameSize];     // NAME, empty when the page has none; longer names are cut
  char title[kPageNameSize];    // TITLE, likewise
};

struct PageDirectory {
  PageRecord* pages;            // in document order
  uint32_t count;
  PageRecord* buckets[kPageBucketCount];
};

// The PAGE elements below the INTERFACE element that are not nested in another PAGE. -7004 when memory
// runs out (the directory is then empty).
Status build_page_directory(MarkupNode* interfaceElement, PageDirectory* directory);
void free_page_directory(PageDirectory* directory);

// The first page of that name in document order, or none.
PageRecord* page_by_name(const PageDirectory* directory, const char* name);
// None outside 0 to count - 1.
PageRecord* page_by_index(const PageDirectory* directory, int32_t index);
