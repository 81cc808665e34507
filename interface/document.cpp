// Loading an interface into a window: the page file read from the page source (a folder means its
// index.iml), its encoding checked, parsed, its INTERFACE and pages found, the window's size, colours
// and background taken from it, and the first or the named page shown.
#include "files/file_system.h"
#include "interface/attribute_values.h"
#include "interface/document_tree.h"
#include "interface/interface_log.h"
#include "interface/interface_window.h"
#include "interface/markup_parser.h"
#include "runtime/encodings.h"
#include "runtime/format.h"
#include "runtime/text.h"

namespace {

constexpr Colour kDefaultForeColour{255, 0, 0, 0};
constexpr Colour kDefaultBackColour{255, 255, 255, 255};
constexpr Rect kDefaultInterfaceRect{0, 0, 400, 300};
constexpr size_t kPathSize = 2 * kNameFieldSize;

// UTF-16 little-endian is the one Unicode form a page may come in: narrowed to the working encoding,
// every character without a byte there becoming the substitution byte.
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

Status ToWorkingEncoding(MemoryHandle text) {
  if (EncodingIsNative(text)) return EncodingIsUtf16LittleEndian(text) ? NarrowUtf16(text) : kOk;
  if (EncodingNameOfText(text, nullptr)) return kErrUnicodePage;
  // An 8-bit text of another encoding; one that cannot be told is used as it is.
  EncodingConvertToSystem(text, nullptr);
  return kOk;
}

// The file itself, or the index.iml of a folder.
Status LocatePageFile(PathSpec* folder, const char* file, char* path) {
  EntryInfo info;
  Status status = FileGetInfo(folder, file, &info, false);
  if (status != kOk) return status;
  TextCopyBounded(path, file, kPathSize);
  if (!info.container) return kOk;
  if (path[0] && path[TextLength(path) - 1] != '/') TextAppendBounded(path, "/", kPathSize);
  TextAppendBounded(path, "index.iml", kPathSize);
  status = FileGetInfo(folder, path, &info, false);
  return status == kOk && !info.container ? kOk : kErrNoIndex;
}

// The INTERFACE named `name` (letter case ignored), else the first.
MarkupNode* SelectInterface(MarkupNode* tree, const char* name) {
  MarkupNode* first = find_tagged_element(tree, nullptr, "INTERFACE", false);
  if (!name || !*name) return first;
  for (MarkupNode* node = first; node; node = find_tagged_element(tree, node, "INTERFACE", true)) {
    char upper[kNameFieldSize];
    const char* own = element_attribute(node, "NAME");
    if (own && TextCompare(TextToUpperCopy(upper, own, sizeof upper), name) == 0) return node;
  }
  return first;
}

void TakeInterfaceAttributes(InterfaceWindow* window) {
  const MarkupNode* element = window->interfaceElement;
  if (const char* rect = element_attribute(element, "RECT")) {
    window->interfaceRect = read_rectangle(rect);
  } else {
    if (const char* width = element_attribute(element, "WIDTH")) window->interfaceRect.right = read_integer(width);
    if (const char* height = element_attribute(element, "HEIGHT")) window->interfaceRect.bottom = read_integer(height);
  }
  if (const char* title = element_attribute(element, "TITLE")) TextCopyBounded(window->title, title, sizeof window->title);
  if (const char* colour = element_attribute(element, "FGCOLOR")) read_colour(colour, &window->foreground);
  if (const char* colour = element_attribute(element, "BGCOLOR")) read_colour(colour, &window->background);
}

// The parser's repairs of the page file, for the log.
void ReportRepairs(const char* file, MemoryHandle diagnostics) {
  const size_t count = HandleGetSize(diagnostics) / sizeof(MarkupDiagnostic);
  for (size_t i = 0; i < count; ++i) {
    MarkupDiagnostic record;
    BytesCopy(&record, HandleData(diagnostics) + i * sizeof record, sizeof record);
    interface_log_report({InterfaceLogKind::kRepair, record.code, file, record.offset, record.line,
                          record.offset - record.lineStart + 1, record.message});
  }
}

Status LoadBackground(InterfaceWindow* window) {
  const char* file = element_attribute(window->interfaceElement, "BACKGROUND");
  if (!file || !*file) return kOk;
  MemoryHandle data = nullptr;
  Status status = read_page_item(window, file, &data);
  if (status == kOk) {
    status = ImageRead(data, &window->backgroundImage, &window->backgroundMask, &window->backgroundMode, nullptr);
    HandleDispose(data);
  }
  if (status != kOk && interface_log_set()) {
    char text[kNameFieldSize + 32];
    FormatText(text, sizeof text, "Unable to load background '%s'", file);
    interface_log_report({InterfaceLogKind::kMissingBackground, status, window->file,
                          window->interfaceElement->offset, 0, 0, text});
  }
  return is_missing_file(status) ? kOk : status;  // a page may name a picture it does not carry
}

Status Load(InterfaceWindow* window, PathSpec* folder, const char* file, const char* interfaceName,
            const char* pageName) {
  TextToUpperCopy(window->interfaceName, interfaceName ? interfaceName : "", sizeof window->interfaceName);
  window->folder = folder;
  char path[kPathSize];
  Status status = LocatePageFile(folder, file, path);
  if (status != kOk) return status;
  TextCopyBounded(window->file, path, sizeof window->file);
  MemoryHandle text = nullptr;
  if ((status = read_page_item(window, path, &text)) != kOk) return status;
  UniqueHandle owned(text);
  if ((status = ToWorkingEncoding(text)) != kOk) return status;
  // The repairs are collected only for a log that wants them.
  UniqueHandle diagnostics(interface_log_set() ? HandleNew(0) : nullptr);
  if (interface_log_set() && !diagnostics) return kErrMemory;
  if ((status = parse_markup(text, kRawContentTags, kAlwaysEmptyTags, diagnostics.get(), &window->document)) != kOk)
    return status;
  if (diagnostics) ReportRepairs(path, diagnostics.get());

  window->interfaceElement = SelectInterface(window->document, window->interfaceName);
  if (!window->interfaceElement) return kErrNoInterface;
  if ((status = build_page_directory(window->interfaceElement, &window->directory)) != kOk) return status;
  if (window->directory.count == 0) return kErrNoInterface;  // a language index: interfaces without pages
  TakeInterfaceAttributes(window);
  if ((status = LoadBackground(window)) != kOk) return status;
  return show_page(window, pageName ? page_by_name(&window->directory, pageName) : page_by_index(&window->directory, 0));
}

}  // namespace

void clear_interface(InterfaceWindow* window) {
  tear_down_page(window);
  free_page_directory(&window->directory);
  free_node_list(window->document);
  window->document = nullptr;
  window->interfaceElement = nullptr;
  PixmapDispose(window->backgroundImage);
  PixmapDispose(window->backgroundMask);
  window->backgroundImage = window->backgroundMask = nullptr;
  MaskDescriptorReset(&window->backgroundMode);
  window->foreground = kDefaultForeColour;
  window->background = kDefaultBackColour;
  window->title[0] = '\0';
  window->interfaceRect = kDefaultInterfaceRect;
  window->file[0] = '\0';
}

Status load_interface(InterfaceWindow* window, PathSpec* folder, const char* file, const char* interfaceName,
                      const char* pageName) {
  if (!is_interface_open(window)) return kErrState;
  if (window->currentPage) {
    const Status status = leave_page(window);
    if (status != kOk) return status == kErrRefused ? kOk : status;
  }
  // The names may point into the window's own fields, which the clearing empties.
  char fileCopy[kPathSize], interfaceCopy[kNameFieldSize], pageCopy[kNameFieldSize];
  TextCopyBounded(fileCopy, file ? file : "", sizeof fileCopy);
  TextCopyBounded(interfaceCopy, interfaceName ? interfaceName : "", sizeof interfaceCopy);
  TextCopyBounded(pageCopy, pageName ? pageName : "", sizeof pageCopy);
  clear_interface(window);
  Status status = kOk;
  if (folder || file) {
    status = Load(window, folder, fileCopy, interfaceCopy, pageName ? pageCopy : nullptr);
    if (status != kOk) clear_interface(window);
  }
  request_redraw(window);
  return status;
}
