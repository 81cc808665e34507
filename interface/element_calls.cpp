// Messages to elements under the protocol's rules, and the element access operations by index.
#include "interface/element_support.h"
#include "graphics/port_objects.h"
#include "interface/interface_window.h"
#include "runtime/format.h"
#include "runtime/text.h"

namespace {

HDC gDrawingDc = nullptr;

bool SkippedWhenHidden(int32_t message) { return message >= kMessageOwnsControl && message <= kMessageCollectFocusable; }

bool RefreshesVisibility(int32_t message) {
  return message != kMessageDestroy && message != kMessageOwnsControl && message != kMessageHitTest &&
         message != kMessageGetVisible;
}

// Each access operation changes something when its message is one of the setters: the window is
// then drawn again.
Status Access(InterfaceWindow* window, int32_t index, int32_t message, intptr_t parameter, void* out) {
  Status status = kOk;
  Element* element = element_at(window, index, &status);
  if (!element) return status;
  status = send_message(element, message, parameter, out);
  if (status == kOk && message >= kMessageSetRect && (message & 1)) request_redraw(window);
  return status;
}

}  // namespace

void set_drawing_context(HDC dc) { gDrawingDc = dc; }

Status send_message(Element* element, int32_t message, intptr_t parameter, void* out) {
  if (SkippedWhenHidden(message) && !element->visible) return kOk;
  InterfaceWindow* window = element->window;
  InterfaceWindow* top = top_window(window);
  HDC windowDc = top->port ? top->port->dc : nullptr;
  const ElementContext context{window->native, gDrawingDc ? gDrawingDc : windowDc, windowDc, element->node,
                               element->instance};
  if (context.dc) {
    SetTextColor(context.dc, GdiColour(window->foreground));
    SetBkColor(context.dc, GdiColour(window->background));
  }
  RunningScope scope(window, element);
  const Status status = element->handler(context, message, parameter, out);
  if (RefreshesVisibility(message)) {
    bool visible = true;
    if (element->handler(context, kMessageGetVisible, 0, &visible) == kOk) element->visible = visible;
  }
  return status;
}

Element* element_at(InterfaceWindow* window, int32_t index, Status* status) {
  *status = index < 0 ? kErrArgument : kErrNotFound;
  if (index < 0 || !is_interface_open(window)) return nullptr;
  for (Element* element = window->page.first; element; element = element->next) {
    if (element->index == index) {
      *status = kOk;
      return element;
    }
  }
  return nullptr;
}

int32_t find_element(InterfaceWindow* window, const char* name) {
  if (!is_interface_open(window) || !name) return -1;
  char wanted[kNameFieldSize];
  TextToUpperCopy(wanted, name, sizeof wanted);
  for (Element* element = window->page.first; element; element = element->next) {
    const char* own = get_value(element->node->attributes, "NAME");
    if (!own) continue;
    char upper[kNameFieldSize];
    TextToUpperCopy(upper, own, sizeof upper);
    if (TextCompare(upper, wanted) == 0) return element->index;
  }
  return -1;
}

int32_t count_elements(InterfaceWindow* window) { return is_interface_open(window) ? window->page.count : 0; }

Status element_title(InterfaceWindow* window, int32_t index, char* buffer, size_t size) {
  UniqueHandle text(HandleNew(0));
  if (!text) return kErrMemory;
  const Status status = Access(window, index, kMessageGetTitle, reinterpret_cast<intptr_t>(text.get()), nullptr);
  if (status == kOk) TextCopyBounded(buffer, text_buffer_text(text.get()), size);
  return status;
}

Status element_value(InterfaceWindow* window, int32_t index, MemoryHandle buffer) {
  return Access(window, index, kMessageGetValue, reinterpret_cast<intptr_t>(buffer), nullptr);
}

Status element_value(InterfaceWindow* window, int32_t index, char* buffer, size_t size) {
  UniqueHandle text(HandleNew(0));
  if (!text) return kErrMemory;
  const Status status = element_value(window, index, text.get());
  if (status == kOk) TextCopyBounded(buffer, text_buffer_text(text.get()), size);
  return status;
}

bool element_visible(InterfaceWindow* window, int32_t index) {
  bool visible = false;
  return Access(window, index, kMessageGetVisible, 0, &visible) == kOk && visible;
}

bool element_enabled(InterfaceWindow* window, int32_t index) {
  bool enabled = false;
  return Access(window, index, kMessageGetEnabled, 0, &enabled) == kOk && enabled;
}

Status element_rectangle(InterfaceWindow* window, int32_t index, Rect* rect) {
  return Access(window, index, kMessageGetRect, 0, rect);
}

Status set_element_rectangle(InterfaceWindow* window, int32_t index, const Rect& rect) {
  Status status = kOk;
  Element* element = element_at(window, index, &status);
  if (!element) return status;
  status = Access(window, index, kMessageSetRect, reinterpret_cast<intptr_t>(&rect), nullptr);
  if (status == kOk) element->rect = rect;
  return status;
}

Status set_element_state(InterfaceWindow* window, int32_t index, int32_t state) {
  return Access(window, index, kMessageSetState, state, nullptr);
}

Status set_element_title(InterfaceWindow* window, int32_t index, const char* title) {
  return Access(window, index, kMessageSetTitle, reinterpret_cast<intptr_t>(title), nullptr);
}

Status set_element_value(InterfaceWindow* window, int32_t index, const char* value) {
  return Access(window, index, kMessageSetValue, reinterpret_cast<intptr_t>(value), nullptr);
}

Status set_element_value(InterfaceWindow* window, int32_t index, int32_t value) {
  char text[16];
  FormatText(text, sizeof text, "%ld", value);
  return set_element_value(window, index, text);
}

Status show_element(InterfaceWindow* window, int32_t index, bool show) {
  Status status = kOk;
  Element* element = element_at(window, index, &status);
  if (!element) return status;
  // The element's own answer decides; a hidden element must not keep the keyboard focus.
  status = send_message(element, kMessageSetVisible, show ? 1 : 0);
  if (status != kOk) return status;
  if (!element->visible) release_focus_of(element);
  HandleSetSize(element->text, 0);
  status = send_message(element, kMessageCollectFocusable, reinterpret_cast<intptr_t>(element->text));
  request_redraw(window);
  return status;
}

Status element_instance(InterfaceWindow* window, int32_t index, intptr_t* instance) {
  return Access(window, index, kMessageGetInstance, 0, instance);
}

MarkupNode* element_node(InterfaceWindow* window, int32_t index) {
  Status status = kOk;
  Element* element = element_at(window, index, &status);
  return element ? element->node : nullptr;
}

Status focus_element(InterfaceWindow* window, int32_t index) {
  Status status = kOk;
  Element* element = element_at(window, index, &status);
  return element ? move_focus(window, element) : status;
}
