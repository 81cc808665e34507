// The TEXTBOX element class: the messages of the element-class protocol, one small function each.
#include "interface/controls/textbox.h"

#include <richedit.h>

#include "interface/controls/native_control.h"
#include "interface/element_support.h"

namespace {

constexpr Colour kBlack{255, 0, 0, 0};
constexpr Colour kWhite{255, 255, 255, 255};
constexpr Colour kLinkColour{255, 0, 0, 238};

bool IsReturn(int32_t key) { return key == kKeyReturn || key == kKeyEnter; }

Status OnCreate(const ElementContext& context) {
  TextBox* box = instance_create<TextBox>(context.instance);
  if (!box) return kErrMemory;
  box->foreground = kBlack;
  box->background = kWhite;
  box->linkColour = kLinkColour;
  // Text inside CENTER is centred even without an ALIGN of its own (the alignment helper then answers
  // centre without having found one).
  box->alignmentGiven = running_alignment(&box->alignment) ||
                        enclosing_element(running_document(), context.node, "CENTER") != nullptr;
  bool editable = false;
  box->editable = running_boolean("EDITABLE", &editable) && editable;
  box->foregroundGiven = running_colour("FGCOLOR", &box->foreground);
  box->backgroundGiven = running_colour("BGCOLOR", &box->background);
  read_allowed_characters(running_attribute("ALLOW"), &box->allowed);
  box->windowActive = 1;
  box->visible = 1;
  box->enabled = 1;
  return kOk;
}

void OnUnrealise(TextBox* box) {
  textbox_free_layers(&box->layers);
  textbox_free_control(box);  // with the links into its text
}

Status OnDraw(const ElementContext& context, TextBox* box) {
  if (!box->control || box->rect.right <= box->rect.left || box->rect.bottom <= box->rect.top) return kOk;
  if (!box->editable) return textbox_render(context, box);
  return native_control_draw(context, box->control, textbox_control_rect(box));
}

Status OnMouseDown(const ElementContext& context, TextBox* box, const MouseEvent& event, InputResult* result) {
  if (box->editable || !box->enabled || event.button != kLeftButton || textbox_link_count(box) == 0) return kOk;
  return textbox_press(context, box, event, result);
}

// A focused field keeps every key but Escape, which always reaches the page's KEYS="-", and Return,
// which a single-line field leaves to the page's KEYS="+" (a multi-line one starts a new line).
void OnKey(TextBox* box, const KeyEvent& key, InputResult* result) {
  if (!box->editable || !box->visible || !box->focused || !box->enabled || !interface_accepts_input()) return;
  if (key.key == kKeyEscape || (IsReturn(key.key) && box->singleLine)) return;
  input_take(result, nullptr);
}

void OnCursorQuery(TextBox* box, const MouseEvent& event, int32_t* cursor) {
  if (box->editable || !box->enabled || textbox_link_count(box) == 0) return;
  *cursor = textbox_link_at(box, event.point) >= 0 ? kCursorHand : 0;
}

Status OnCollectFocusable(TextBox* box, MemoryHandle list) {
  if (!box->editable || !box->enabled || !box->control || !interface_accepts_input()) return kOk;
  return focus_list_append(list, box->control);
}

Status OnFocus(TextBox* box, intptr_t gaining) {
  if (!gaining) {
    box->focused = 0;
    return kOk;
  }
  if (!box->editable || !box->control) return kErrState;
  box->focused = 1;
  if (GetFocus() != box->control) SetFocus(box->control);
  return kOk;
}

Status OnSetRect(TextBox* box, const Rect& rect) {
  box->rect = rect;
  if (!box->control) return kOk;
  textbox_free_layers(&box->layers);  // a new size needs new layers
  return native_control_move(box->control, textbox_control_rect(box));
}

Status OnGetValue(TextBox* box, MemoryHandle buffer) {
  if (!box->control) return kOk;
  const int length = GetWindowTextLengthA(box->control);
  if (length <= 0) return kOk;
  UniqueBlock<char> text(static_cast<char*>(BlockNew(size_t(length) + 1)));
  if (!text) return kErrMemory;
  const int read = GetWindowTextA(box->control, text.get(), length + 1);
  return text_buffer_append(buffer, text.get(), size_t(read > 0 ? read : 0));
}

Status OnSetValue(TextBox* box, const char* value) {
  if (!box->control) return kOk;
  // A display box is drawn from its rendered layers: they must be made again from the new text.
  box->layers.ready = 0;
  if (box->editable) return SetWindowTextA(box->control, value ? value : "") ? kOk : kErrNativeWindow;
  // The control gives new text its default format (the bold system font); it should look as the box's
  // own text did, so the first character's format is carried over.
  CHARFORMATA first{};
  first.cbSize = sizeof first;
  SendMessageA(box->control, EM_SETSEL, 0, 1);
  SendMessageA(box->control, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&first));
  if (!SetWindowTextA(box->control, value ? value : "")) return kErrNativeWindow;
  SendMessageA(box->control, EM_SETSEL, 0, -1);
  SendMessageA(box->control, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&first));
  SendMessageA(box->control, EM_SETSEL, 0, 0);
  return kOk;
}

Status OnSetVisible(TextBox* box, bool visible) {
  if (!visible && box->focused)
    if (Status status = focus_leave_running_element(); status != kOk) return status;
  box->visible = visible;
  if (box->control && box->editable) ShowWindow(box->control, visible ? SW_SHOWNA : SW_HIDE);
  return kOk;
}

Status OnSetEnabled(TextBox* box, bool enabled) {
  if (!enabled && box->focused)
    if (Status status = focus_leave_running_element(); status != kOk) return status;
  box->enabled = enabled;
  // A display box's control never takes input, whatever the element's state.
  if (box->control && box->editable) EnableWindow(box->control, enabled);
  return kOk;
}

void OnSetColour(TextBox* box, const Colour& colour, bool foreground) {
  (foreground ? box->foreground : box->background) = colour;
  (foreground ? box->foregroundGiven : box->backgroundGiven) = 1;
  box->layers.ready = 0;
  if (!box->control) return;
  if (!box->editable)
    SendMessageA(box->control, EM_SETBKGNDCOLOR, 0, RGB(box->background.red, box->background.green, box->background.blue));
  InvalidateRect(box->control, nullptr, TRUE);
}

}  // namespace

TextBox* textbox_record(MemoryHandle instance) { return instance_record<TextBox>(instance); }

Status textbox_element(const ElementContext& context, int32_t message, intptr_t parameter, void* out) {
  if (message == kMessageCreate) return OnCreate(context);
  TextBox* box = textbox_record(context.instance);
  if (!box) return kErrState;
  switch (message) {
    case kMessageRealise: return textbox_make_control(context, box);
    case kMessageUnrealise:
    case kMessageDestroy: OnUnrealise(box); return kOk;
    case kMessageOwnsControl:
      if (box->control && reinterpret_cast<HWND>(parameter) == box->control) *static_cast<bool*>(out) = true;
      return kOk;
    case kMessageHitTest: {
      const Point& point = *reinterpret_cast<const Point*>(parameter);
      const Rect& r = box->rect;
      *static_cast<bool*>(out) = r.left < r.right && r.top < r.bottom && point.x >= r.left && point.x < r.right &&
                                 point.y >= r.top && point.y < r.bottom;
      return kOk;
    }
    case kMessageDraw: return OnDraw(context, box);
    case kMessageMouseDown:
      return OnMouseDown(context, box, *reinterpret_cast<const MouseEvent*>(parameter), static_cast<InputResult*>(out));
    case kMessageKey:
      OnKey(box, *reinterpret_cast<const KeyEvent*>(parameter), static_cast<InputResult*>(out));
      return kOk;
    case kMessageCursorQuery:
      OnCursorQuery(box, *reinterpret_cast<const MouseEvent*>(parameter), static_cast<int32_t*>(out));
      return kOk;
    case kMessageActivate: box->windowActive = 1; return kOk;
    case kMessageDeactivate: box->windowActive = 0; return kOk;
    case kMessageCollectFocusable: return OnCollectFocusable(box, reinterpret_cast<MemoryHandle>(parameter));
    case kMessageFocus: return OnFocus(box, parameter);
    case kMessageGetRect: *static_cast<Rect*>(out) = box->rect; return kOk;
    case kMessageSetRect: return OnSetRect(box, *reinterpret_cast<const Rect*>(parameter));
    case kMessageGetTitle: return text_buffer_append(reinterpret_cast<MemoryHandle>(parameter), "");
    case kMessageGetValue: return OnGetValue(box, reinterpret_cast<MemoryHandle>(parameter));
    case kMessageSetValue: return OnSetValue(box, reinterpret_cast<const char*>(parameter));
    case kMessageGetInstance: *static_cast<intptr_t*>(out) = 0; return kOk;
    case kMessageGetVisible: *static_cast<bool*>(out) = box->visible; return kOk;
    case kMessageSetVisible: return OnSetVisible(box, parameter != 0);
    case kMessageGetEnabled: *static_cast<bool*>(out) = box->enabled; return kOk;
    case kMessageSetEnabled: return OnSetEnabled(box, parameter != 0);
    case kMessageGetForeColour: *static_cast<Colour*>(out) = box->foreground; return kOk;
    case kMessageSetForeColour: OnSetColour(box, *reinterpret_cast<const Colour*>(parameter), true); return kOk;
    case kMessageGetBackColour: *static_cast<Colour*>(out) = box->background; return kOk;
    case kMessageSetBackColour: OnSetColour(box, *reinterpret_cast<const Colour*>(parameter), false); return kOk;
    default: return kOk;  // idle, shortcut, mouse messages to the focused element, title: nothing to do
  }
}
