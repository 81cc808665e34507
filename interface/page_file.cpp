#include "interface/page_file.h"

#include "interface/document_tree.h"
#include "interface/markup_parser.h"
#include "runtime/encodings.h"
#include "runtime/text.h"

namespace {

Status NarrowUtf16(MemoryHandle text) {
  const size_t size = HandleGetSize(text);
  uint8_t* bytes = HandleData(text);
  size_t written = 0;
  for (size_t i = 2; i + 1 < size; i += 2) {
    const uint16_t unit = uint16_t(bytes[i] | bytes[i + 1] << 8);
    uint8_t byte = kSubstitutionByte;
    if (unit < 0x80) {
      byte = uint8_t(unit);
    } else {
      for (const CharacterRow& row : kCharacterTable) {
        if (row.codePoint == unit && row.windows) {
          byte = row.windows;
          break;
        }
      }
    }
    bytes[written++] = byte;
  }
  return HandleSetSize(text, written);
}

}  // namespace

Status page_text_to_working_encoding(MemoryHandle text) {
  if (EncodingIsNative(text)) return EncodingIsUtf16LittleEndian(text) ? NarrowUtf16(text) : kOk;
  if (EncodingNameOfText(text, nullptr)) return kErrUnicodePage;
  EncodingConvertToSystem(text, nullptr);
  return kOk;
}

MarkupNode* select_interface(MarkupNode* document, const char* upperName) {
  MarkupNode* first = find_tagged_element(document, nullptr, "INTERFACE", false);
  if (!upperName || !*upperName) return first;
  for (MarkupNode* node = first; node; node = find_tagged_element(document, node, "INTERFACE", true)) {
    char upper[kPageNameSize];
    const char* own = element_attribute(node, "NAME");
    if (own && TextCompare(TextToUpperCopy(upper, own, sizeof upper), upperName) == 0) return node;
  }
  return first;
}

Status load_page_file(MemoryHandle text, const char* upperName, MemoryHandle diagnostics, PageFile* file) {
  *file = {};
  Status status = page_text_to_working_encoding(text);
  if (status == kOk) status = parse_markup(text, kRawContentTags, kAlwaysEmptyTags, diagnostics, &file->document);
  if (status != kOk) return status;
  file->interfaceElement = select_interface(file->document, upperName);
  status = file->interfaceElement ? build_page_directory(file->interfaceElement, &file->directory) : kErrNoInterface;
  if (status == kOk && file->directory.count == 0) status = kErrNoInterface;  // a language index
  if (status != kOk) free_page_file(file);
  return status;
}

void free_page_file(PageFile* file) {
  free_page_directory(&file->directory);
  free_node_list(file->document);
  *file = {};
}
