// The helpers element classes call back into the engine with; see element_support.h.
#include "interface/element_support.h"

#include "interface/interface_window.h"
#include "runtime/text.h"

namespace {

MarkupNode* Node() { return running_element() ? running_element()->node : nullptr; }
MarkupNode* Document() { return running_window() ? running_window()->document : nullptr; }

}  // namespace

const char* running_attribute(const char* name) { return element_attribute(Node(), name); }

const char* running_inherited_attribute(const char* name) {
  return Node() ? inherited_attribute(Document(), Node(), nullptr, name, true) : nullptr;
}

const char* running_enclosing_attribute(const char* tag, const char* name) {
  return Node() ? element_attribute(enclosing_element(Document(), Node(), tag), name) : nullptr;
}

const char* running_tag() { return Node() ? Node()->name : ""; }

MarkupNode* running_document() { return Document(); }

bool running_alignment(int32_t* alignment) {
  *alignment = 0;
  return Node() && element_alignment(Document(), Node(), alignment);
}

bool running_integer(const char* name, int32_t* value) {
  const char* text = running_attribute(name);
  if (text) *value = read_integer(text);
  return text != nullptr;
}

bool running_rectangle(const char* name, Rect* rect) {
  const char* text = running_attribute(name);
  if (text) *rect = read_rectangle(text);
  return text != nullptr;
}

bool running_colour(const char* name, Colour* colour) {
  const char* text = running_attribute(name);
  return text && read_colour(text, colour);
}

bool running_boolean(const char* name, bool* value) {
  const char* text = running_attribute(name);
  if (text) *value = read_boolean(text);
  return text != nullptr;
}

Status element_image(const char* file, ElementImage* image) {
  *image = {};
  MaskDescriptorReset(&image->maskDescriptor);
  if (!running_window()) return kErrState;
  CachedImage* cached = nullptr;
  const Status status = find_image(running_window(), file, &cached);
  if (status != kOk || !cached->pixmap) return status;
  image->pixmap = cached->pixmap;
  image->mask = cached->mask;
  image->maskDescriptor = cached->maskDescriptor;
  image->width = PixmapWidth(cached->pixmap);
  image->height = PixmapHeight(cached->pixmap);
  return kOk;
}

Status notify(int32_t event) {
  InterfaceWindow* window = running_window();
  return window ? send_page_event(window, event, running_element()) : kErrState;
}

bool interface_accepts_input() {
  InterfaceWindow* window = running_window();
  if (!window) return false;
  for (; window; window = window->parent)
    if (!window->visible || !window->enabled) return false;
  return true;
}

void input_take(InputResult* result, const char* link) {
  result->taken = true;
  result->window = running_window();
  result->element = running_element();
  TextCopyBounded(result->link, link ? link : "", sizeof result->link);
}

Status focus_leave_running_element() {
  return running_element() ? release_focus_of(running_element()) : kErrState;
}

Status redraw_running_element() {
  Element* element = running_element();
  if (!element) return kErrState;
  // The paint runs outside the handler, as it does from the message loop.
  RunningScope outside(nullptr, nullptr);
  return redraw_now(element->window, &element->rect);
}

Status text_buffer_append(MemoryHandle buffer, const char* text, size_t length) {
  const size_t size = HandleGetSize(buffer);
  const size_t used = size ? size - 1 : 0;
  Status status = HandleSetSize(buffer, used + length + 1);
  if (status != kOk) return status;
  BytesCopy(HandleData(buffer) + used, text, length);
  HandleData(buffer)[used + length] = 0;
  return kOk;
}

Status text_buffer_append(MemoryHandle buffer, const char* text) {
  return text_buffer_append(buffer, text, TextLength(text));
}

const char* text_buffer_text(MemoryHandle buffer) {
  return HandleGetSize(buffer) ? reinterpret_cast<const char*>(HandleData(buffer)) : "";
}

size_t text_buffer_length(MemoryHandle buffer) {
  const size_t size = HandleGetSize(buffer);
  return size ? size - 1 : 0;
}

Status focus_list_append(MemoryHandle list, HWND control) { return HandleAppendData(list, &control, sizeof control); }
