// FRAME: a rectangle of the page showing another interface - a page of the same file ("#intro") or of
// another - in a nested interface window. The frame hands drawing, idle ticks, mouse and key input,
// visibility, enabling, colours and its rectangle on to the nested window.
#include "interface/element_support.h"
#include "interface/interface_window.h"
#include "runtime/text.h"

namespace {

struct FrameRecord {
  InterfaceWindow* nested;
  Rect rect;
  bool visible;
};

// SOURCE, else SRC, read like a link: "#page" names a page of the enclosing file.
Status Realise(FrameRecord* frame) {
  const char* link = running_attribute("SOURCE");
  if (!link) link = running_attribute("SRC");
  InterfaceWindow* enclosing = running_window();
  LinkTarget target;
  split_link(link ? link : "", enclosing->file, &target);
  return open_nested_interface(enclosing, running_element(), frame->rect, target.file,
                               target.page[0] ? target.page : nullptr, &frame->nested);
}

// A new rectangle moves the nested page's elements with it.
Status Move(FrameRecord* frame, const Rect& rect) {
  const int32_t dx = rect.left - frame->rect.left, dy = rect.top - frame->rect.top;
  frame->rect = rect;
  InterfaceWindow* nested = frame->nested;
  if (!nested) return kOk;
  nested->bounds = rect;
  for (Element* element = nested->page.first; element; element = element->next) {
    const Rect moved{element->rect.left + dx, element->rect.top + dy, element->rect.right + dx,
                     element->rect.bottom + dy};
    const Status status = send_message(element, kMessageSetRect, reinterpret_cast<intptr_t>(&moved));
    if (status != kOk) return status;
    element->rect = moved;
  }
  request_redraw(nested);
  return kOk;
}

void ForwardToElements(InterfaceWindow* nested, int32_t message) {
  const uint32_t generation = nested->pageGeneration;
  for (Element* element = nested->page.first; element && nested->pageGeneration == generation;
       element = element->next)
    send_message(element, message);
}

Status SetColour(InterfaceWindow* nested, Colour* field, const Colour& colour) {
  *field = colour;
  request_redraw(nested);
  return kOk;
}

}  // namespace

Status frame_element(const ElementContext& context, int32_t message, intptr_t parameter, void* out) {
  if (message == kMessageCreate) {
    FrameRecord* frame = instance_create<FrameRecord>(context.instance);
    if (!frame) return kErrMemory;
    frame->visible = true;
    return kOk;
  }
  FrameRecord* frame = instance_record<FrameRecord>(context.instance);
  if (!frame) return kErrState;
  InterfaceWindow* nested = frame->nested;
  switch (message) {
    case kMessageRealise:
      return nested ? kOk : Realise(frame);
    case kMessageUnrealise:
      frame->nested = nullptr;
      close_interface(nested);
      return kOk;
    case kMessageDraw:
      return nested ? draw_window(nested) : kOk;
    case kMessageIdle:
      if (nested) idle_tick(nested);
      return kOk;
    case kMessageHitTest: {
      const Point& point = *reinterpret_cast<const Point*>(parameter);
      const Rect& r = frame->rect;
      *static_cast<bool*>(out) = point.x >= r.left && point.x < r.right && point.y >= r.top && point.y < r.bottom;
      return kOk;
    }
    case kMessageMouseDown:
      return nested ? dispatch_mouse(nested, *reinterpret_cast<const MouseEvent*>(parameter),
                                     static_cast<InputResult*>(out))
                    : kOk;
    case kMessageKey:
      return nested ? run_key_rules(nested, *reinterpret_cast<const KeyEvent*>(parameter),
                                    static_cast<InputResult*>(out), true)
                    : kOk;
    case kMessageCursorQuery:
      if (nested) *static_cast<int32_t*>(out) = cursor_at(nested, *reinterpret_cast<const MouseEvent*>(parameter));
      return kOk;
    case kMessageActivate:
    case kMessageDeactivate:
      if (nested) ForwardToElements(nested, message);
      return kOk;
    case kMessageGetRect:
      *static_cast<Rect*>(out) = frame->rect;
      return kOk;
    case kMessageSetRect:
      return Move(frame, *reinterpret_cast<const Rect*>(parameter));
    case kMessageGetInstance:
      *static_cast<intptr_t*>(out) = reinterpret_cast<intptr_t>(nested);
      return kOk;
    case kMessageSetValue:
    case kMessageSetState:
      return kErrUnsupported;
    case kMessageGetVisible:
      *static_cast<bool*>(out) = frame->visible;
      return kOk;
    case kMessageSetVisible:
      frame->visible = parameter != 0;
      if (nested) nested->visible = frame->visible;
      request_redraw(running_window());
      return kOk;
    case kMessageGetEnabled:
      *static_cast<bool*>(out) = nested ? nested->enabled : true;
      return kOk;
    case kMessageSetEnabled:
      if (nested) nested->enabled = parameter != 0;
      return kOk;
    case kMessageGetForeColour:
      if (nested) *static_cast<Colour*>(out) = nested->foreground;
      return kOk;
    case kMessageGetBackColour:
      if (nested) *static_cast<Colour*>(out) = nested->background;
      return kOk;
    case kMessageSetForeColour:
      return nested ? SetColour(nested, &nested->foreground, *reinterpret_cast<const Colour*>(parameter)) : kOk;
    case kMessageSetBackColour:
      return nested ? SetColour(nested, &nested->background, *reinterpret_cast<const Colour*>(parameter)) : kOk;
    default:
      return kOk;
  }
}
