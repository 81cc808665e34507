// Building a page: its parameters substituted, one element record per element of a known class, each
// created through the protocol's creation messages; and tearing it down again.
#include "interface/attribute_values.h"
#include "interface/document_tree.h"
#include "interface/interface_window.h"
#include "interface/node_walk.h"
#include "interface/page_elements.h"
#include "runtime/memory.h"
#include "runtime/text.h"

namespace {

void FreeElement(Element* element) {
  HandleDispose(element->text);
  HandleDispose(element->instance);
  BlockDispose(element);
}

// Unrealise and destroy, then the record.
void DestroyElement(Element* element) {
  send_message(element, kMessageUnrealise);
  send_message(element, kMessageDestroy);
  FreeElement(element);
}

void Append(InterfaceWindow* window, Element* element) {
  Element** link = &window->page.first;
  while (*link) link = &(*link)->next;
  *link = element;
  element->index = window->page.count++;
  ++window->pageGeneration;
}

void Unlink(InterfaceWindow* window, Element* element) {
  for (Element** link = &window->page.first; *link; link = &(*link)->next) {
    if (*link == element) {
      *link = element->next;
      --window->page.count;
      ++window->pageGeneration;
      return;
    }
  }
}

Status MakeElement(InterfaceWindow* window, MarkupNode* node, ElementHandler handler) {
  // Shortcut characters are matched upper-cased; the value belongs to the window's own document.
  if (const char* keys = element_attribute(node, "KEYS")) TextToUpper(const_cast<char*>(keys));
  auto* element = static_cast<Element*>(BlockNewClear(sizeof(Element)));
  if (!element) return kErrMemory;
  element->window = window;
  element->node = node;
  element->handler = handler;
  element->visible = true;
  element->text = HandleNew(0);
  element->instance = HandleNew(0);
  if (!element->text || !element->instance) {
    FreeElement(element);
    return kErrMemory;
  }
  const char* rectText = element_attribute(node, "RECT");
  Rect rect = read_rectangle(rectText ? rectText : "");
  rect = {rect.left + window->bounds.left, rect.top + window->bounds.top, rect.right + window->bounds.left,
          rect.bottom + window->bounds.top};
  element->rect = rect;
  Append(window, element);

  Status status = send_message(element, kMessageCreate);
  if (status != kOk) {
    Unlink(window, element);
    FreeElement(element);
    return status;
  }
  const char* title = element_attribute(node, "TITLE");
  const intptr_t steps[][2] = {
      {kMessageSetRect, reinterpret_cast<intptr_t>(&rect)},
      {kMessageSetTitle, reinterpret_cast<intptr_t>(title ? title : "")},
      {kMessageActivate, 0},
      {kMessageRealise, 0},
      {kMessageCollectFocusable, reinterpret_cast<intptr_t>(element->text)},
  };
  for (const auto& step : steps) {
    if ((status = send_message(element, int32_t(step[0]), step[1])) != kOk) break;
  }
  if (status != kOk) {
    Unlink(window, element);
    DestroyElement(element);
  }
  return status;
}

}  // namespace

Status build_page(InterfaceWindow* window, const PageRecord* page) {
  MarkupNode* pageNode = page->element;
  Status status = collect_parameters(&window->page.parameters, pageNode);
  if (status == kOk) status = substitute_parameters(&window->page.parameters, window->variables);
  if (status != kOk) return status;
  return walk_page_elements(
      pageNode, [window](const char* tag) { return find_element_class(window, tag); },
      [window](MarkupNode* node, ElementHandler handler) { return MakeElement(window, node, handler); });
}

void tear_down_page(InterfaceWindow* window) {
  forget_focus_in(window);
  while (Element* element = window->page.first) {
    Unlink(window, element);
    DestroyElement(element);
  }
  free_parameter_list(&window->page.parameters);
  window->page = {};
  window->currentPage = nullptr;
  ++window->pageGeneration;
}

Element* element_under(InterfaceWindow* window, Point point) {
  BlockStack<Element*> elements;
  for (Element* element = window->page.first; element; element = element->next)
    if (!elements.Push(element)) return nullptr;
  while (!elements.Empty()) {
    Element* element = elements.Pop();
    const Rect& r = element->rect;
    if (!element->visible || point.x < r.left || point.x >= r.right || point.y < r.top || point.y >= r.bottom) continue;
    bool inside = false;
    send_message(element, kMessageHitTest, reinterpret_cast<intptr_t>(&point), &inside);
    if (inside) return element;
  }
  return nullptr;
}
