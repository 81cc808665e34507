// Keys: key events from native key messages, the shortcut rules of a page (Tab order, Alt letters,
// Return and Escape, KEYS, frames), and the pre-translation of the message loop.
//
// Each key press is acted on once. Escape, Return and Alt shortcuts reach the rules from the
// pre-translation, before TranslateMessage; a key-down addressed to the interface window itself is
// then consumed, so that the window procedure, which runs the rules for the keys it receives, never
// sees the same press again. A key-down addressed to a native child control is consumed only when an
// element took it; otherwise the control gets it as usual (a field that ignores Return, say).
#include <array>

#include "interface/document_tree.h"
#include "interface/interface_window.h"
#include "runtime/text.h"

namespace {

constexpr std::array<int32_t, 256> MakeKeyTable() {
  std::array<int32_t, 256> table{};
  for (int c = 'A'; c <= 'Z'; ++c) table[c] = c;
  for (int c = '0'; c <= '9'; ++c) table[c] = c;
  for (int n = 0; n < 10; ++n) table[VK_NUMPAD0 + n] = '0' + n;
  table[VK_SPACE] = ' ';
  table[VK_RETURN] = kKeyReturn;
  table[VK_TAB] = kKeyTab;
  table[VK_BACK] = kKeyBackspace;
  table[VK_DELETE] = kKeyDelete;
  table[VK_HOME] = kKeyHome;
  table[VK_END] = kKeyEnd;
  table[VK_PRIOR] = kKeyPageUp;
  table[VK_NEXT] = kKeyPageDown;
  table[VK_LEFT] = kKeyLeft;
  table[VK_DOWN] = kKeyDown;
  table[VK_RIGHT] = kKeyRight;
  table[VK_UP] = kKeyUp;
  table[VK_ESCAPE] = kKeyEscape;
  table[VK_CANCEL] = kKeyEscape;  // Ctrl+Break cancels like Escape
  return table;
}
constexpr std::array<int32_t, 256> kKeyTable = MakeKeyTable();

constexpr LPARAM kExtendedKey = 1 << 24;
constexpr LPARAM kAltDown = 1 << 29;
constexpr LPARAM kKeyWasDown = 1 << 30;

bool Down(int virtualKey) { return (GetKeyState(virtualKey) & 0x8000) != 0; }
bool Toggled(int virtualKey) { return (GetKeyState(virtualKey) & 1) != 0; }

uint32_t CurrentModifiers() {
  uint32_t modifiers = 0;
  if (Toggled(VK_CAPITAL)) modifiers |= kModCapsLock;
  if (Down(VK_SHIFT)) modifiers |= kModShift;
  if (Down(VK_CONTROL)) modifiers |= kModControl;
  if (Down(VK_MENU)) modifiers |= kModAlt;
  if (Toggled(VK_NUMLOCK)) modifiers |= kModNumLock;
  if (Toggled(VK_SCROLL)) modifiers |= kModScrollLock;
  if (GetSystemMetrics(SM_SWAPBUTTON)) modifiers |= kModButtonsSwapped;
  if (Down(VK_LBUTTON)) modifiers |= kModLeftButton;
  if (Down(VK_RBUTTON)) modifiers |= kModRightButton;
  if (Down(VK_MBUTTON)) modifiers |= kModMiddleButton;
  return modifiers;
}

uint8_t ShortcutOf(const KeyEvent& event) {
  if (event.modifiers & kModAutoRepeat) return 0;
  if (event.modifiers & kModAlt) {
    const uint8_t c = AsciiUpper(event.character);
    if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return c;
    return c == '.' ? '-' : 0;
  }
  if (event.key == kKeyReturn || event.key == kKeyEnter) return '+';
  return event.key == kKeyEscape ? '-' : 0;
}

bool IsFrame(const Element* element) { return has_tag(element->node, "FRAME"); }

InterfaceWindow* TopWindowOfNative(HWND native) {
  HWND root = GetAncestor(native, GA_ROOT);
  for (InterfaceWindow* window = first_open_window(); window; window = window->nextOpen)
    if (!window->parent && window->created && window->native == root && !window->destroying) return window;
  return nullptr;
}

bool IsClass(HWND window, const char* name) {
  char className[64];
  return window && GetClassNameA(window, className, sizeof className) && lstrcmpiA(className, name) == 0;
}

bool IsMultiLineEdit(HWND window) {
  return IsClass(window, "Edit") && (GetWindowLongA(window, GWL_STYLE) & ES_MULTILINE) != 0;
}

// Tab and Shift+Tab move the focus along the tab order; a field reached this way has its text selected.
void Tab(InterfaceWindow* top, bool forward) {
  move_focus_along_tab_order(top, forward);
  HWND focused = GetFocus();
  if (IsClass(focused, "Edit")) SendMessageA(focused, EM_SETSEL, 0, -1);
}

}  // namespace

int32_t engine_key(uint32_t virtualKey, bool extended) {
  if (virtualKey == VK_RETURN && extended) return kKeyEnter;
  return virtualKey < kKeyTable.size() ? kKeyTable[virtualKey] : 0;
}

KeyEvent make_key_event(uint32_t virtualKey, uint8_t character, LPARAM keyData) {
  KeyEvent event{character, engine_key(virtualKey, (keyData & kExtendedKey) != 0), virtualKey, CurrentModifiers()};
  if (keyData & kAltDown) event.modifiers |= kModAlt;
  if (keyData & kKeyWasDown) event.modifiers |= kModAutoRepeat;
  return event;
}

Status run_key_rules(InterfaceWindow* window, const KeyEvent& event, InputResult* result, bool nested) {
  InterfaceWindow* top = top_window(window);
  if (!nested && event.key == kKeyTab) return move_focus_along_tab_order(top, (event.modifiers & kModShift) == 0);
  const uint8_t shortcut = ShortcutOf(event);
  Status status = kOk;
  if (!nested && !(event.modifiers & kModAlt) && top->focus.element) {
    status = send_message(top->focus.element, kMessageKey, reinterpret_cast<intptr_t>(&event), result);
    // A kind that takes no keys (a pop-up menu) leaves the key to the page's shortcuts.
    if (status == kErrUnsupported) status = kOk;
  }
  if (status != kOk || result->taken || !is_interface_open(window)) return status;

  const uint32_t generation = window->pageGeneration;
  if (shortcut) {
    for (Element* element = window->page.first; element; element = element->next) {
      const char* keys = element_attribute(element->node, "KEYS");
      const char wanted[2] = {char(shortcut), '\0'};
      if (!element->visible || !keys || !TextFindAnyOf(keys, wanted)) continue;
      *result = {true, window, element, {}};
      return send_message(element, kMessageShortcut, 0, result);
    }
  }
  for (Element* element = window->page.first; element && !result->taken; element = element->next) {
    if (!IsFrame(element)) continue;
    status = send_message(element, kMessageKey, reinterpret_cast<intptr_t>(&event), result);
    if (status != kOk || !is_interface_open(window) || window->pageGeneration != generation) break;
  }
  return status;
}

Status handle_key(InterfaceWindow* top, const KeyEvent& event) {
  InputResult result{};
  Status status = run_key_rules(top, event, &result, false);
  if (status == kOk) status = activate_taker(top, &result);
  return status;
}

bool pretranslate_message(const MSG* message) {
  if (!interface_engine_started() || !message->hwnd) return false;
  // The display text boxes draw their text themselves; their controls never paint.
  if (message->message == WM_PAINT && IsClass(message->hwnd, "RichEdit20A")) {
    ValidateRect(message->hwnd, nullptr);
    return true;
  }
  if (message->message != WM_KEYDOWN && message->message != WM_SYSKEYDOWN) return false;
  InterfaceWindow* top = TopWindowOfNative(message->hwnd);
  if (!top) return false;
  const uint32_t virtualKey = uint32_t(message->wParam);
  uint8_t character = 0;
  if (message->message == WM_SYSKEYDOWN) {
    // Alt with a letter, a digit or '.': a shortcut, also while a field has the focus.
    character = uint8_t(MapVirtualKeyA(virtualKey, MAPVK_VK_TO_CHAR) & 0xFF);
    if (!(message->lParam & kAltDown) || !ShortcutOf(KeyEvent{character, 0, virtualKey, kModAlt})) return false;
  } else if (virtualKey == VK_TAB) {
    Tab(top, !Down(VK_SHIFT));
    return true;
  } else if (virtualKey == VK_ESCAPE || virtualKey == VK_CANCEL) {
    character = 27;  // the character Escape types
  } else if (virtualKey == VK_RETURN) {
    if (IsMultiLineEdit(GetFocus())) return false;
    character = '\r';
  } else {
    return false;
  }
  const bool toWindowItself = message->hwnd == top->native;
  InputResult result{};
  const KeyEvent event = make_key_event(virtualKey, character, message->lParam);
  if (run_key_rules(top, event, &result, false) == kOk && result.taken) activate_taker(top, &result);
  return toWindowItself || result.taken;
}
