// The keyboard focus of a top-level window and the windows nested in it: the tab order, moving the
// focus with the events and messages that go with it, and giving it up.
#include "interface/interface_window.h"
#include "interface/node_walk.h"

namespace {

using ElementList = BlockStack<Element*>;

// Elements whose class reported a native control that can take the focus, in document order, the
// pages of nested windows at their FRAME's place; `also` is listed even when it reports none.
void CollectTabOrder(InterfaceWindow* window, ElementList* list, const Element* also) {
  for (Element* element = window->page.first; element; element = element->next) {
    HandleSetSize(element->text, 0);
    send_message(element, kMessageCollectFocusable, reinterpret_cast<intptr_t>(element->text));
    if (HandleGetSize(element->text) >= sizeof(HWND) || element == also) list->Push(element);
    if (InterfaceWindow* nested = nested_window_of(element)) CollectTabOrder(nested, list, also);
  }
}

bool IsWithin(const InterfaceWindow* inner, const InterfaceWindow* outer) {
  for (; inner; inner = inner->parent)
    if (inner == outer) return true;
  return false;
}

// The element after (or before) `from` in the tab order, wrapping around; from none, the first (or
// the last). None when the order holds nothing else.
Element* Neighbour(InterfaceWindow* top, Element* from, bool forward) {
  ElementList list;
  CollectTabOrder(top, &list, from);
  const size_t count = list.Size();
  size_t at = count;
  for (size_t i = 0; i < count; ++i)
    if (list[i] == from) at = i;
  if (at == count) return count ? list[forward ? 0 : count - 1] : nullptr;
  if (count == 1) return nullptr;
  return list[forward ? (at + 1) % count : (at + count - 1) % count];
}

}  // namespace

Status move_focus(InterfaceWindow* window, Element* element) {
  InterfaceWindow* top = top_window(window);
  FocusRecord& focus = top->focus;
  if (focus.element == element) return kOk;
  if (Element* losing = focus.element) {
    const Status status = send_page_event(focus.window, kEventFocusLosing, losing);
    if (status != kOk) return status;  // -8404: it keeps the focus
    if (!is_interface_open(top) || focus.element != losing) return kOk;
    send_message(losing, kMessageFocus, 0);
    focus.previous = losing;
    focus.element = nullptr;
    focus.window = nullptr;
  }
  if (!element) return kOk;
  const Status status = send_message(element, kMessageFocus, reinterpret_cast<intptr_t>(element));
  if (status != kOk) return status;
  focus.window = element->window;
  focus.element = element;
  return send_page_event(element->window, kEventFocusGained, element);
}

Status move_focus_along_tab_order(InterfaceWindow* window, bool forward) {
  InterfaceWindow* top = top_window(window);
  Element* next = Neighbour(top, top->focus.element, forward);
  return next ? move_focus(top, next) : kOk;
}

void forget_focus_in(InterfaceWindow* window) {
  FocusRecord& focus = top_window(window)->focus;
  if (focus.element && IsWithin(focus.window, window)) focus = {};
  else if (focus.previous && IsWithin(focus.previous->window, window)) focus.previous = nullptr;
}

void restore_focus(InterfaceWindow* top) {
  if (Element* element = top->focus.element) {
    send_message(element, kMessageFocus, reinterpret_cast<intptr_t>(element));
    return;
  }
  move_focus_along_tab_order(top, true);
  // Without a field to type into, the window itself takes the keys.
  if (!top->focus.element && top->native) SetFocus(top->native);
}

Status release_focus_of(Element* element) {
  InterfaceWindow* top = top_window(element->window);
  FocusRecord& focus = top->focus;
  if (focus.element != element) return kOk;
  // A hidden or disabled element cannot keep the focus, so it is not asked.
  Element* next = Neighbour(top, element, true);
  send_message(element, kMessageFocus, 0);
  focus = {nullptr, nullptr, element};
  if (next == element) next = nullptr;
  if (!next && top->native) SetFocus(top->native);
  return next ? move_focus(top, next) : kOk;
}
