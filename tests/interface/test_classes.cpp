#include "tests/interface/test_classes.h"

#include <cstdio>
#include <cstring>

#include "graphics/port_draw.h"
#include "interface/element_support.h"

namespace {

struct SwatchRecord {
  Rect rect;
  Colour colour;
  bool visible;
  bool enabled;
  bool hitless;
  int32_t state;
  char title[64];
  char value[64];
};

bool Inside(const Rect& r, const Point& p) { return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom; }

Status Paint(HDC dc, const Rect& rect, const Colour& colour) {
  GraphicsPort* port = nullptr;
  Status status = PortOpenDevice(dc, true, &port);
  if (status != kOk) return status;
  status = PortReset(port, kResetPenAndFill);
  if (status == kOk) status = PortSetFill(port, &colour, nullptr, &kSolidPattern);
  if (status == kOk) status = PortPaintRect(port, rect);
  PortClose(port);
  return status;
}

struct FieldRecord {
  HWND control;
  Rect rect;
  bool visible;
  bool enabled;
  bool multiLine;
};

}  // namespace

Status swatch_element(const ElementContext& context, int32_t message, intptr_t parameter, void* out) {
  if (message == kMessageCreate) {
    SwatchRecord* swatch = instance_create<SwatchRecord>(context.instance);
    if (!swatch) return kErrMemory;
    swatch->colour = {255, 128, 128, 128};
    running_colour("COLOR", &swatch->colour);
    swatch->visible = true;
    swatch->enabled = !running_attribute("DISABLED");
    swatch->hitless = running_attribute("HITLESS") != nullptr;
    return kOk;
  }
  SwatchRecord* swatch = instance_record<SwatchRecord>(context.instance);
  if (!swatch) return kErrState;
  switch (message) {
    case kMessageHitTest:
      *static_cast<bool*>(out) = !swatch->hitless && Inside(swatch->rect, *reinterpret_cast<const Point*>(parameter));
      return kOk;
    case kMessageDraw:
      return Paint(context.dc, swatch->rect, swatch->colour);
    case kMessageMouseDown: {
      const auto* event = reinterpret_cast<const MouseEvent*>(parameter);
      if (event->button != kLeftButton || !swatch->enabled || !interface_accepts_input()) return kOk;
      if (running_attribute("NOTIFY")) {
        Status status = notify(kEventPressBegins);
        if (status == kOk) status = notify(kEventPressEnds);
        if (status != kOk) return status;
      }
      input_take(static_cast<InputResult*>(out), running_attribute("LINK"));
      return kOk;
    }
    case kMessageShortcut:
      if (!swatch->enabled) static_cast<InputResult*>(out)->taken = false;
      return kOk;
    case kMessageCursorQuery:
      *static_cast<int32_t*>(out) = kCursorHand;
      return kOk;
    case kMessageGetRect:
      *static_cast<Rect*>(out) = swatch->rect;
      return kOk;
    case kMessageSetRect:
      swatch->rect = *reinterpret_cast<const Rect*>(parameter);
      return kOk;
    case kMessageGetTitle:
      return text_buffer_append(reinterpret_cast<MemoryHandle>(parameter), swatch->title);
    case kMessageSetTitle:
      std::snprintf(swatch->title, sizeof swatch->title, "%s", reinterpret_cast<const char*>(parameter));
      return kOk;
    case kMessageGetValue:
      return text_buffer_append(reinterpret_cast<MemoryHandle>(parameter), swatch->value);
    case kMessageSetValue:
      std::snprintf(swatch->value, sizeof swatch->value, "%s", reinterpret_cast<const char*>(parameter));
      return kOk;
    case kMessageGetInstance:
      *static_cast<intptr_t*>(out) = swatch->state;
      return kOk;
    case kMessageSetState:
      swatch->state = int32_t(parameter);
      return kOk;
    case kMessageGetVisible:
      *static_cast<bool*>(out) = swatch->visible;
      return kOk;
    case kMessageSetVisible:
      swatch->visible = parameter != 0;
      return kOk;
    case kMessageGetEnabled:
      *static_cast<bool*>(out) = swatch->enabled;
      return kOk;
    case kMessageSetEnabled:
      swatch->enabled = parameter != 0;
      return kOk;
    default:
      return kOk;
  }
}

Status field_element(const ElementContext& context, int32_t message, intptr_t parameter, void* out) {
  if (message == kMessageCreate) {
    FieldRecord* field = instance_create<FieldRecord>(context.instance);
    if (!field) return kErrMemory;
    field->visible = field->enabled = true;
    field->multiLine = running_attribute("MULTI") != nullptr;
    return kOk;
  }
  FieldRecord* field = instance_record<FieldRecord>(context.instance);
  if (!field) return kErrState;
  const Rect& r = field->rect;
  switch (message) {
    case kMessageRealise: {
      const DWORD style = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP |
                          (field->multiLine ? ES_MULTILINE | ES_AUTOVSCROLL : ES_AUTOHSCROLL);
      field->control = CreateWindowExA(0, "EDIT", "", style, r.left, r.top, r.right - r.left, r.bottom - r.top,
                                       context.window, nullptr, GetModuleHandleA(nullptr), nullptr);
      return field->control ? kOk : kErrMemory;
    }
    case kMessageUnrealise:
      if (field->control) DestroyWindow(field->control);
      field->control = nullptr;
      return kOk;
    case kMessageOwnsControl:
      *static_cast<bool*>(out) = field->control && field->control == reinterpret_cast<HWND>(parameter);
      return kOk;
    case kMessageHitTest:
      *static_cast<bool*>(out) = Inside(r, *reinterpret_cast<const Point*>(parameter));
      return kOk;
    case kMessageKey: {
      const auto* key = reinterpret_cast<const KeyEvent*>(parameter);
      const bool isReturn = key->key == kKeyReturn || key->key == kKeyEnter;
      if (key->key == kKeyEscape || (isReturn && !field->multiLine)) return kOk;
      if (field->visible && field->enabled && interface_accepts_input()) input_take(static_cast<InputResult*>(out), nullptr);
      return kOk;
    }
    case kMessageCollectFocusable:
      if (field->control && field->enabled && interface_accepts_input())
        return focus_list_append(reinterpret_cast<MemoryHandle>(parameter), field->control);
      return kOk;
    case kMessageFocus:
      if (parameter && field->control) SetFocus(field->control);
      return kOk;
    case kMessageGetRect:
      *static_cast<Rect*>(out) = field->rect;
      return kOk;
    case kMessageSetRect:
      field->rect = *reinterpret_cast<const Rect*>(parameter);
      if (field->control) MoveWindow(field->control, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
      return kOk;
    case kMessageGetValue: {
      char text[256] = "";
      if (field->control) GetWindowTextA(field->control, text, sizeof text);
      return text_buffer_append(reinterpret_cast<MemoryHandle>(parameter), text);
    }
    case kMessageSetValue:
      return field->control && SetWindowTextA(field->control, reinterpret_cast<const char*>(parameter)) ? kOk
                                                                                                       : kErrState;
    case kMessageGetVisible:
      *static_cast<bool*>(out) = field->visible;
      return kOk;
    case kMessageSetVisible:
      if (!parameter) focus_leave_running_element();
      field->visible = parameter != 0;
      if (field->control) ShowWindow(field->control, field->visible ? SW_SHOW : SW_HIDE);
      return kOk;
    case kMessageGetEnabled:
      *static_cast<bool*>(out) = field->enabled;
      return kOk;
    case kMessageSetEnabled:
      if (!parameter) focus_leave_running_element();
      field->enabled = parameter != 0;
      if (field->control) EnableWindow(field->control, field->enabled);
      return kOk;
    default:
      return kOk;
  }
}

std::vector<std::string>& probe_log() {
  static std::vector<std::string> log;
  return log;
}

Status probe_element(const ElementContext& context, int32_t message, intptr_t parameter, void* out) {
  if (message != kMessageGetVisible) {
    const char* name = running_attribute("NAME");
    std::string line = std::string(name ? name : "?") + " " + std::to_string(message);
    if (message == kMessageSetRect) {
      const Rect& r = *reinterpret_cast<const Rect*>(parameter);
      line += " " + std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
              std::to_string(r.bottom);
    } else if (message == kMessageSetTitle) {
      line += std::string(" ") + reinterpret_cast<const char*>(parameter);
    }
    probe_log().push_back(line);
  }
  return swatch_element(context, message, parameter, out);
}
