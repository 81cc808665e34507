// POPUP: a drop-down list on a native combo box. Its items are the TITLEs of its ITEM elements, its
// value the chosen item's position counted from 1. A pop-up with LANGUAGE is never shown.
#include <windows.h>

#include "interface/controls/listed_children.h"
#include "interface/controls/native_control.h"
#include "interface/document_tree.h"
#include "interface/element_support.h"
#include "runtime/text.h"

namespace {

struct PopupRecord {
  MemoryHandle title;
  Rect rect;
  int32_t value;  // the stored value: the DEFAULT item's, or the last one set
  uint8_t language;
  uint8_t windowActive;
  uint8_t visible;
  uint8_t enabled;
  HWND combo;
};

// The opened list's room below the closed box.
constexpr int32_t kDropDownRoom = 200;
constexpr char kNoItems[] = "none";

PopupRecord* RecordOf(const ElementContext& context) { return instance_record<PopupRecord>(context.instance); }

void UpdateEnabling(PopupRecord& popup) {
  native_control_update_enabling(popup.combo, popup.windowActive, popup.enabled);
}

Status OnCreate(const ElementContext& context) {
  PopupRecord* popup = instance_create<PopupRecord>(context.instance);
  if (!popup) return kErrMemory;
  popup->title = HandleNew(0);
  if (!popup->title) return kErrMemory;
  popup->language = running_attribute("LANGUAGE") != nullptr;
  popup->windowActive = 1;
  popup->enabled = 1;
  popup->visible = !popup->language;
  return kOk;
}

void ReleaseCombo(PopupRecord& popup) {
  if (popup.combo) DestroyWindow(popup.combo);
  popup.combo = nullptr;
}

// Adds the items; *defaultValue is the last DEFAULT item's position + 1, or 0.
Status FillItems(const ElementContext& context, PopupRecord& popup, int32_t* defaultValue, int32_t* count) {
  *defaultValue = 0;
  *count = 0;
  Status status = visit_listed_children(context.node, "ITEM", [&](const MarkupNode* item) {
    const char* title = element_attribute(item, "TITLE");
    // The combo box has no separators: "-" items are left out.
    if (!title || !*title || TextCompare(title, "-") == 0) return kOk;
    const LRESULT position = SendMessageA(popup.combo, CB_ADDSTRING, 0, LPARAM(title));
    if (position == CB_ERR || position == CB_ERRSPACE) return kErrMemory;
    ++*count;
    const char* isDefault = element_attribute(item, "DEFAULT");
    if (isDefault && read_boolean(isDefault)) *defaultValue = int32_t(position) + 1;
    return kOk;
  });
  if (status == kOk && *count == 0) {
    if (SendMessageA(popup.combo, CB_ADDSTRING, 0, LPARAM(kNoItems)) < 0) return kErrMemory;
    *count = 1;
  }
  return status;
}

Status OnRealise(const ElementContext& context, PopupRecord& popup) {
  ReleaseCombo(popup);
  DWORD style = WS_CHILD | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST;
  if (popup.visible) style |= WS_VISIBLE;
  Status status = native_control_create(context, "COMBOBOX", "", style, popup.rect, &popup.combo);
  if (status != kOk) return status;
  int32_t defaultValue, count;
  status = FillItems(context, popup, &defaultValue, &count);
  if (status != kOk) return status;
  if (defaultValue > 0) popup.value = defaultValue;
  else if (popup.value < 1 || popup.value > count) popup.value = 1;
  SendMessageA(popup.combo, CB_SETCURSEL, WPARAM(popup.value - 1), 0);
  const Rect& r = popup.rect;
  if (!SetWindowPos(popup.combo, nullptr, 0, 0, r.right - r.left, r.bottom - r.top + kDropDownRoom,
                    SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE)) {
    GetLastError();
    return kErrNativeWindow;
  }
  UpdateEnabling(popup);
  return kOk;
}

Status OnSetRect(PopupRecord& popup, const Rect& rect) {
  popup.rect = rect;
  // The box keeps the room of its opened list.
  return native_control_move(popup.combo, Rect{rect.left, rect.top, rect.right, rect.bottom + kDropDownRoom});
}

Status OnGetValueText(const PopupRecord& popup, MemoryHandle buffer) {
  if (!popup.combo) return text_buffer_append(buffer, "");
  char text[kNativeTextLimit + 1] = "";
  const int length = GetWindowTextA(popup.combo, text, sizeof text);
  return text_buffer_append(buffer, text, size_t(length > 0 ? length : 0));
}

Status OnSetValueText(PopupRecord& popup, const char* text) {
  if (!popup.combo) return kErrNotFound;
  char prefix[kNativeTextLimit + 1];
  TextCopyBounded(prefix, text ? text : "", sizeof prefix);
  return SendMessageA(popup.combo, CB_SELECTSTRING, WPARAM(-1), LPARAM(prefix)) == CB_ERR ? kErrNotFound : kOk;
}

int32_t CurrentValue(const PopupRecord& popup) {
  if (!popup.combo) return popup.value;
  return int32_t(SendMessageA(popup.combo, CB_GETCURSEL, 0, 0)) + 1;
}

Status OnSetVisible(PopupRecord& popup, bool visible) {
  if (popup.language) return kOk;
  if (!visible && popup.visible) {
    Status status = focus_leave_running_element();
    if (status != kOk) return status;
  }
  popup.visible = visible;
  if (popup.combo) ShowWindow(popup.combo, visible ? SW_SHOW : SW_HIDE);
  return kOk;
}

template <class T>
T* Out(void* out) {
  return static_cast<T*>(out);
}

}  // namespace

Status popup_element(const ElementContext& context, int32_t message, intptr_t parameter, void* out) {
  if (message == kMessageCreate) return OnCreate(context);
  PopupRecord* popup = RecordOf(context);
  if (!popup) return kErrState;
  switch (message) {
    case kMessageRealise:
      return OnRealise(context, *popup);
    case kMessageUnrealise:
      ReleaseCombo(*popup);
      return kOk;
    case kMessageDestroy:
      ReleaseCombo(*popup);
      HandleDispose(popup->title);
      popup->title = nullptr;
      return kOk;
    case kMessageOwnsControl:
      *Out<bool>(out) = popup->combo && popup->combo == reinterpret_cast<HWND>(parameter);
      return kOk;
    case kMessageHitTest:
      *Out<bool>(out) = native_control_hit(context, popup->combo, *reinterpret_cast<const Point*>(parameter));
      return kOk;
    case kMessageDraw:
      return native_control_draw(context, popup->combo, popup->rect);
    case kMessageShortcut:
      if (popup->combo) native_control_flash(popup->combo);
      return kOk;
    case kMessageCursorQuery:
      *Out<int32_t>(out) = 0;
      return kOk;
    case kMessageActivate:
    case kMessageDeactivate:
      popup->windowActive = message == kMessageActivate;
      UpdateEnabling(*popup);
      return kOk;
    case kMessageCollectFocusable:
      if (popup->combo && popup->enabled && interface_accepts_input())
        return focus_list_append(reinterpret_cast<MemoryHandle>(parameter), popup->combo);
      return kOk;
    case kMessageFocus:
      if (parameter && popup->combo) SetFocus(popup->combo);
      return kOk;
    case kMessageGetRect:
      *Out<Rect>(out) = popup->rect;
      return kOk;
    case kMessageSetRect:
      return OnSetRect(*popup, *reinterpret_cast<const Rect*>(parameter));
    case kMessageGetTitle:
      return text_buffer_append(reinterpret_cast<MemoryHandle>(parameter), text_buffer_text(popup->title));
    case kMessageSetTitle: {
      const char* title = reinterpret_cast<const char*>(parameter);
      Status status = title_store(popup->title, title);
      return status != kOk ? status : native_control_set_text(popup->combo, title);
    }
    case kMessageGetValue:
      return OnGetValueText(*popup, reinterpret_cast<MemoryHandle>(parameter));
    case kMessageSetValue:
      return OnSetValueText(*popup, reinterpret_cast<const char*>(parameter));
    case kMessageGetInstance:
      *Out<intptr_t>(out) = CurrentValue(*popup);
      return kOk;
    case kMessageSetState:
      popup->value = int32_t(parameter);
      if (popup->combo) SendMessageA(popup->combo, CB_SETCURSEL, WPARAM(popup->value - 1), 0);
      return kOk;
    case kMessageGetVisible:
      *Out<bool>(out) = popup->visible;
      return kOk;
    case kMessageSetVisible:
      return OnSetVisible(*popup, parameter != 0);
    case kMessageGetEnabled:
      *Out<bool>(out) = popup->enabled;
      return kOk;
    case kMessageSetEnabled:
      popup->enabled = parameter != 0;
      UpdateEnabling(*popup);
      return kOk;
    case kMessageKey:
      return kErrUnsupported;
    default:
      return kOk;  // presses (the combo box takes its own), idle ticks, colours
  }
}
