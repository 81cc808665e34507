// Loading a page file as far as it needs no window: its text brought into the working encoding,
// parsed with the page sets, the INTERFACE chosen and that interface's page directory built. Pure: no
// system calls; the window reads the file and takes the result.
#pragma once

#include "interface/markup_node.h"
#include "interface/page_directory.h"
#include "runtime/memory.h"
#include "runtime/status.h"

// UTF-16 little-endian is narrowed to the working encoding (a character without a byte there becomes
// the substitution byte); any other Unicode form is refused with -8406. An 8-bit text of another
// encoding is converted, one whose encoding cannot be told is used as it is.
Status page_text_to_working_encoding(MemoryHandle text);

// The INTERFACE element whose NAME, upper-cased, is `upperName`, else the first one; none when the
// document has none.
MarkupNode* select_interface(MarkupNode* document, const char* upperName);

struct PageFile {
  MarkupNode* document;          // the parsed text
  MarkupNode* interfaceElement;  // in the document
  PageDirectory directory;
};

// The steps above on a file's text (converted in place), with the INTERFACE named `upperName` (none or
// empty: the first); the parser's repairs go to `diagnostics` when one is given. -8406 for a Unicode form that is not accepted, -8401 when there is no INTERFACE
// or it has no PAGE (a language index), -7004 when memory runs out; nothing is left in *file then.
Status load_page_file(MemoryHandle text, const char* upperName, MemoryHandle diagnostics, PageFile* file);
void free_page_file(PageFile* file);
