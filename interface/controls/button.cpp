// BUTTON, IMAGE and IMG: a picture in normal, dim and lit states (one set of pictures per value), or,
// with no picture named, a native push button, check box or radio button. Picture buttons track their
// own presses; native ones report clicks to the window through WM_COMMAND, and a check box changes its
// mark only when its owner sets the value (the non-automatic styles).
#include <windows.h>

#include "graphics/port.h"
#include "graphics/port_draw.h"
#include "graphics/pixmap_device.h"
#include "interface/controls/image_states.h"
#include "interface/controls/native_control.h"
#include "interface/controls/press_tracking.h"
#include "interface/element_support.h"
#include "runtime/format.h"
#include "runtime/text.h"

namespace {

struct ButtonRecord {
  MemoryHandle title;
  MemoryHandle states;  // image states; none for a native button
  Rect rect;
  int32_t value;
  int32_t drawState;    // DrawState
  uint8_t defaultKey;   // KEYS holds '+'
  uint8_t hover;        // HOVER was given; recorded only
  uint8_t checkBox;
  uint8_t radio;
  uint8_t windowActive;
  uint8_t visible;
  uint8_t enabled;      // HREF or SCRIPT given, even empty; then message 75
  HWND native;
};

ButtonRecord* RecordOf(const ElementContext& context) { return instance_record<ButtonRecord>(context.instance); }

bool IsPicture(const ButtonRecord& button) { return button.states != nullptr; }
bool IsCheckable(const ButtonRecord& button) { return button.checkBox || button.radio; }
bool Usable(const ButtonRecord& button) { return button.enabled && interface_accepts_input(); }

// --- Drawing

// Red on white in the 77 77 DD DD weave: the placeholder of a missing picture.
constexpr Pattern kPlaceholderPattern{{0x77, 0x77, 0xDD, 0xDD, 0x77, 0x77, 0xDD, 0xDD, 0x77, 0x77, 0xDD, 0xDD, 0x77,
                                       0x77, 0xDD, 0xDD}};
constexpr Colour kPlaceholderRed{255, 192, 0, 0};
constexpr Colour kWhite{255, 255, 255, 255};
constexpr Colour kBlack{255, 0, 0, 0};

Status DrawPlaceholder(GraphicsPort* port, const Rect& rect, int32_t state) {
  Status status = PortSetFill(port, &kPlaceholderRed, &kWhite, &kPlaceholderPattern);
  if (status == kOk) status = PortPaintRect(port, rect);
  if (status == kOk) status = PortSetPen(port, &kBlack, nullptr, &kSolidPattern, 1);
  if (status == kOk) status = PortFrameRect(port, rect);
  if (status == kOk && state != kDrawNormal) status = PortInvertRect(port, rect);
  Status reset = PortReset(port, kResetPenAndFill);
  return status != kOk ? status : reset;
}

Status DrawState(const ElementContext& context, const ButtonRecord& button, int32_t state) {
  ElementImage image{};
  size_t index;
  Status status = kOk;
  if (image_state_index(button.value, state, image_state_count(button.states), &index))
    status = element_image(image_states(button.states)[index].name, &image);
  if (status != kOk) return status;
  GraphicsPort* port = nullptr;
  status = PortOpenDevice(context.dc, true, &port);
  if (status != kOk) return status;
  if (image.pixmap) {
    Rect source = image_states(button.states)[index].source;
    if (source.right <= source.left || source.bottom <= source.top) source = Rect{0, 0, image.width, image.height};
    status = PortCopyPixmap(port, image.pixmap, image.mask, &source, &image.maskDescriptor, &button.rect);
  } else {
    status = DrawPlaceholder(port, button.rect, state);
  }
  Status closed = PortClose(port);
  return status != kOk ? status : closed;
}

// --- Messages

Status OnCreate(const ElementContext& context) {
  ButtonRecord* button = instance_create<ButtonRecord>(context.instance);
  if (!button) return kErrMemory;
  button->title = HandleNew(0);
  if (!button->title) return kErrMemory;
  button->windowActive = 1;
  button->visible = 1;
  if (const char* kind = running_attribute("KIND")) {
    char upper[256];
    TextToUpperCopy(upper, kind, sizeof upper);
    button->checkBox = TextCompare(upper, "CHECKBOX") == 0 || TextCompare(upper, "CHECK") == 0;
    button->radio = TextCompare(upper, "RADIOBUTTON") == 0 || TextCompare(upper, "RADIO") == 0;
  }
  running_integer("VALUE", &button->value);
  button->enabled = running_attribute("HREF") || running_attribute("SCRIPT");
  const char* keys = running_attribute("KEYS");
  button->defaultKey = keys && TextFindAnyOf(keys, "+");
  button->hover = running_attribute("HOVER") != nullptr;
  return kOk;
}

void ReleaseRealised(ButtonRecord& button) {
  if (button.native) DestroyWindow(button.native);
  button.native = nullptr;
  HandleDispose(button.states);
  button.states = nullptr;
}

DWORD NativeStyle(const ButtonRecord& button) {
  DWORD style = WS_CHILD | WS_VISIBLE;
  if (button.checkBox) return style | BS_CHECKBOX;
  if (button.radio) return style | BS_RADIOBUTTON;
  return style | (button.defaultKey ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
}

Status OnRealise(const ElementContext& context, ButtonRecord& button) {
  ReleaseRealised(button);
  button.states = HandleNew(0);
  if (!button.states) return kErrMemory;
  Status status = build_image_states(context.node, button.states);
  if (status != kOk) return status;
  if (image_state_count(button.states) > 0) return kOk;
  HandleDispose(button.states);
  button.states = nullptr;
  DWORD style = NativeStyle(button);
  if (!button.visible) style &= ~WS_VISIBLE;
  status = native_control_create(context, "BUTTON", text_buffer_text(button.title), style, button.rect, &button.native);
  if (status != kOk) return status;
  if (IsCheckable(button)) SendMessageA(button.native, BM_SETCHECK, button.value ? BST_CHECKED : BST_UNCHECKED, 0);
  native_control_update_enabling(button.native, button.windowActive, button.enabled);
  return kOk;
}

Status OnDraw(const ElementContext& context, const ButtonRecord& button) {
  if (!IsPicture(button)) return native_control_draw(context, button.native, button.rect);
  return DrawState(context, button, Usable(button) ? button.drawState : kDrawDim);
}

bool Inside(const Rect& rect, const Point& point) {
  return point.x >= rect.left && point.x < rect.right && point.y >= rect.top && point.y < rect.bottom;
}

bool PressContains(void* context, Point point) { return Inside(static_cast<ButtonRecord*>(context)->rect, point); }

Status PressShow(void* context, bool pressed) {
  static_cast<ButtonRecord*>(context)->drawState = pressed ? kDrawLit : kDrawNormal;
  return redraw_running_element();
}

Status PressNotify(void*, int32_t event) { return notify(event); }

Status OnMouseDown(const ElementContext& context, ButtonRecord& button, const MouseEvent& press, InputResult* result) {
  if (!IsPicture(button) || !Usable(button)) return kOk;
  bool triggered = false;
  const PressTarget target{&button, PressContains, PressShow, PressNotify};
  Status status = track_press(context.window, press.button, target, &triggered);
  if (status == kOk && triggered && result) input_take(result, nullptr);
  return status;
}

// A shortcut the button cannot take now is left untaken: the engine then activates nothing.
Status DeclineShortcut(InputResult* result) {
  if (result) result->taken = false;
  return kOk;
}

// The press events have nothing to veto: a refusal goes on like a yes.
Status PressAnswer(Status answer) { return answer == kErrRefused ? kOk : answer; }

// Lit for a moment and reported as a press that began and ended; drawn at rest again whatever failed.
Status FlashPicture(ButtonRecord& button) {
  Status status = PressAnswer(notify(kEventPressBegins));
  if (status == kOk) status = PressShow(&button, true);
  if (status == kOk) {
    GdiFlush();
    Sleep(kShortcutFlashMs);  // plainly: nothing else of the interface runs in the middle of this
    status = PressAnswer(notify(kEventPressEnds));
  }
  Status rested = PressShow(&button, false);
  return status != kOk ? status : rested;
}

Status OnShortcut(ButtonRecord& button, InputResult* result) {
  if (!IsPicture(button)) {
    if (!button.native || !IsWindowEnabled(button.native)) return DeclineShortcut(result);
    native_control_flash(button.native);
    return kOk;
  }
  if (!Usable(button)) return DeclineShortcut(result);
  Status status = FlashPicture(button);
  if (status != kOk) DeclineShortcut(result);
  return status;
}

int32_t CurrentValue(const ButtonRecord& button) {
  if (button.native && IsCheckable(button))
    return SendMessageA(button.native, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
  return button.value;
}

Status OnGetValueText(const ButtonRecord& button, MemoryHandle buffer) {
  char digits[16];
  FormatText(digits, sizeof digits, "%ld", long(CurrentValue(button)));
  return text_buffer_append(buffer, digits);
}

Status OnSetState(ButtonRecord& button, int32_t value) {
  button.value = value;
  if (button.native) SendMessageA(button.native, BM_SETCHECK, value ? BST_CHECKED : BST_UNCHECKED, 0);
  return kOk;
}

Status OnSetVisible(ButtonRecord& button, bool visible) {
  button.visible = visible;
  if (button.native) ShowWindow(button.native, visible ? SW_SHOW : SW_HIDE);
  return kOk;
}

template <class T>
T* Out(void* out) {
  return static_cast<T*>(out);
}

}  // namespace

Status button_element(const ElementContext& context, int32_t message, intptr_t parameter, void* out) {
  if (message == kMessageCreate) return OnCreate(context);
  ButtonRecord* button = RecordOf(context);
  if (!button) return kErrState;
  switch (message) {
    case kMessageRealise:
      return OnRealise(context, *button);
    case kMessageUnrealise:
      ReleaseRealised(*button);
      return kOk;
    case kMessageDestroy:
      ReleaseRealised(*button);
      HandleDispose(button->title);
      button->title = nullptr;
      return kOk;
    case kMessageOwnsControl:
      *Out<bool>(out) = !IsPicture(*button) && button->native && button->native == reinterpret_cast<HWND>(parameter);
      return kOk;
    case kMessageHitTest: {
      const Point& point = *reinterpret_cast<const Point*>(parameter);
      *Out<bool>(out) = IsPicture(*button) ? Inside(button->rect, point)
                                           : native_control_hit(context, button->native, point);
      return kOk;
    }
    case kMessageDraw:
      return OnDraw(context, *button);
    case kMessageMouseDown:
      return OnMouseDown(context, *button, *reinterpret_cast<const MouseEvent*>(parameter), Out<InputResult>(out));
    case kMessageShortcut:
      return OnShortcut(*button, Out<InputResult>(out));
    case kMessageCursorQuery:
      *Out<int32_t>(out) = button->visible && button->enabled && IsPicture(*button) ? kCursorHand : 0;
      return kOk;
    case kMessageFocus:
      return parameter ? kErrState : kOk;  // buttons never hold the keyboard focus
    case kMessageActivate:
    case kMessageDeactivate:
      button->windowActive = message == kMessageActivate;
      native_control_update_enabling(button->native, button->windowActive, button->enabled);
      return kOk;
    case kMessageGetRect:
      *Out<Rect>(out) = button->rect;
      return kOk;
    case kMessageSetRect:
      button->rect = *reinterpret_cast<const Rect*>(parameter);
      return native_control_move(button->native, button->rect);
    case kMessageGetTitle:
      return text_buffer_append(reinterpret_cast<MemoryHandle>(parameter), text_buffer_text(button->title));
    case kMessageSetTitle: {
      const char* title = reinterpret_cast<const char*>(parameter);
      Status status = title_store(button->title, title);
      return status != kOk ? status : native_control_set_text(button->native, title);
    }
    case kMessageGetValue:
      return OnGetValueText(*button, reinterpret_cast<MemoryHandle>(parameter));
    case kMessageSetValue:
      return kErrUnsupported;
    case kMessageGetInstance:
      *Out<intptr_t>(out) = CurrentValue(*button);
      return kOk;
    case kMessageSetState:
      return OnSetState(*button, int32_t(parameter));
    case kMessageGetVisible:
      *Out<bool>(out) = button->visible;
      return kOk;
    case kMessageSetVisible:
      return OnSetVisible(*button, parameter != 0);
    case kMessageGetEnabled:
      *Out<bool>(out) = button->enabled;
      return kOk;
    case kMessageSetEnabled:
      button->enabled = parameter != 0;
      native_control_update_enabling(button->native, button->windowActive, button->enabled);
      return kOk;
    case kMessageKey:
      return kErrUnsupported;
    default:
      return kOk;  // idle ticks, the focused element's mouse messages, focus collection, colours
  }
}
