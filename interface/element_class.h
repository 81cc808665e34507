// The element-class protocol: how the interface engine drives the displayed elements of a page
// (BUTTON, IMAGE, IMG, BORDER, FRAME, POPUP, TEXTBOX). An element class is an upper-cased tag name and a
// handler; the engine makes one element record per element of such a tag on the page it builds and
// talks to it only through numbered messages. The helpers a handler calls back into the engine with are
// in interface/element_support.h. Windows only.
//
// Rules the engine keeps, so that handlers can rely on them:
//  - every handler call runs on the interface thread, with the element as the running element (the
//    helpers act on it) and the window's colours selected into the context's device context: its text
//    colour is the window's foreground colour, its background colour the window's background colour;
//  - at creation an element is sent, in this order: kMessageCreate, kMessageSetRect (its RECT moved by
//    the window's origin), kMessageSetTitle (its TITLE, empty when absent), kMessageActivate,
//    kMessageRealise, kMessageCollectFocusable; at the end kMessageUnrealise, then kMessageDestroy;
//  - messages 16 to 50 are not sent to an element whose visible flag is clear; after every message
//    except kMessageDestroy, kMessageOwnsControl, kMessageHitTest and kMessageGetVisible the engine
//    sends kMessageGetVisible to refresh that flag (a class that does not answer it counts as visible);
//  - kErrUnsupported (-7003) from a handler means that the element's kind has no such message; for a
//    message a class ignores, answering 0 and leaving `out` alone is as good.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "graphics/graphics_types.h"
#include "interface/markup_node.h"
#include "runtime/memory.h"
#include "runtime/status.h"

struct InterfaceWindow;  // an interface window: a top-level window or the nested window of a FRAME
struct Element;          // an element record of the current page

// The messages. "parameter" and "out" name the handler's arguments of the same names; where a message
// has neither, both are 0. Flags in and out are bool.
enum ElementMessage : int32_t {
  // Read the attributes; size the instance buffer (it comes empty).
  kMessageCreate = 0,
  // Rectangle and title are known: make native controls (a FRAME loads its page here).
  kMessageRealise = 1,
  // Release native controls and image states; sent just before kMessageDestroy.
  kMessageUnrealise = 2,
  // Release whatever the instance holds; the engine frees the buffer itself.
  kMessageDestroy = 3,
  // parameter: the HWND of a native child control; out: bool*, set when the control is this element's
  // (the engine then colours the control with this element's colours).
  kMessageOwnsControl = 16,
  // parameter: const Point* in the native window's client area; out: bool*, set when inside.
  kMessageHitTest = 17,
  // Draw into context.dc (see ElementContext). parameter: 0, or 1 to ask a class that has a background
  // of its own (a BORDER) to fill it first.
  kMessageDraw = 18,
  kMessageIdle = 19,
  // The element under the pointer was pressed on: a left, right or middle button went down, or a
  // double-click (modifier kModDoubleClick); moves are not sent. parameter: const MouseEvent*;
  // out: InputResult*.
  kMessageMouseDown = 21,
  // A key offered to the focused element. parameter: const KeyEvent*; out: InputResult*. When the text
  // of a native field changed (the user typed into it), the event is all zero: the focused field takes
  // it to be activated for the change.
  kMessageKey = 22,
  // Activate by shortcut key (KEYS). out: InputResult*, already marked taken by this element; a class
  // that cannot be activated now (a disabled one) clears `taken`.
  kMessageShortcut = 23,
  // Which cursor over this point? parameter: const MouseEvent*; out: int32_t* cursor id, preset to
  // kCursorNoPreference; 0 asks for the arrow.
  kMessageCursorQuery = 24,
  // + (native mouse message - WM_MOUSEFIRST): a mouse message sent to the element that has the
  // keyboard focus. parameter: const MouseEvent*; out: InputResult*.
  kMessageMouseButton = 32,
  // The native window became active (sent once at creation too) / inactive.
  kMessageActivate = 48,
  kMessageDeactivate = 49,
  // parameter: MemoryHandle focus list, cleared by the engine. An element whose native control can take
  // the keyboard focus appends the control (focus_list_append) when it is enabled and
  // interface_accepts_input().
  kMessageCollectFocusable = 50,
  // The keyboard focus is moving. parameter: the Element* gaining it when that is this element, 0 when
  // this element loses it. A class that cannot take the focus answers kErrState (-7002).
  kMessageFocus = 51,
  kMessageGetRect = 64,        // out: Rect*
  kMessageSetRect = 65,        // parameter: const Rect*, in the native window's client area
  kMessageGetTitle = 66,       // parameter: MemoryHandle text buffer to append the title to
  kMessageSetTitle = 67,       // parameter: const char*
  kMessageGetValue = 68,       // parameter: MemoryHandle text buffer to append the value to
  kMessageSetValue = 69,       // parameter: const char*
  kMessageGetInstance = 70,    // out: intptr_t*: a FRAME's nested InterfaceWindow*, a control's number
  kMessageSetState = 71,       // parameter: the numeric value (int32_t)
  kMessageGetVisible = 72,     // out: bool*
  kMessageSetVisible = 73,     // parameter: 0 or 1
  kMessageGetEnabled = 74,     // out: bool*
  kMessageSetEnabled = 75,     // parameter: 0 or 1
  // Colours, answered by text boxes, borders and frames; other classes leave `out` alone and answer 0.
  kMessageGetForeColour = 76,  // out: Colour*
  kMessageSetForeColour = 77,  // parameter: const Colour*
  kMessageGetBackColour = 78,  // out: Colour*
  kMessageSetBackColour = 79,  // parameter: const Colour*
};

// Cursor answers of kMessageCursorQuery beside the system's cursor ids (IDC_HAND is 32649).
constexpr int32_t kCursorNoPreference = 65535;
constexpr int32_t kCursorHand = 32649;

// Event codes: what the engine tells the page program's callback (see interface/interface.h).
enum InterfaceEvent : int32_t {
  kEventWindowMade = 0,     // an interface window (top-level or FRAME) was made
  kEventClosing = 1,        // the window is closing (after kEventPageLeaving)
  kEventPageBuilding = 2,   // a page is about to be built
  kEventPageShown = 3,      // the page has been built: elements exist, parameters substituted
  kEventIdle = 4,           // idle tick while a page is shown
  kEventPageLeaving = 6,    // the current page is about to be left; -8404 vetoes the navigation
  kEventFocusGained = 7,    // an element received the keyboard focus
  kEventActivated = 9,      // an element was activated; any non-zero answer cancels its link or script
  kEventFocusLosing = 11,   // the focused element is about to lose the focus; -8404 keeps it
  kEventPressBegins = 12,   // sent by controls through notify() while the mouse button is held on them
  kEventPressLeft = 13,     // the pointer left the pressed control
  kEventPressBack = 14,     // the pointer is back on it
  kEventPressEnds = 15,     // the press ended
};

// Engine key codes of the special keys. Letters have their upper-case character code, digits (main
// keyboard and keypad) and the blank their character code; every other key is 0.
enum EngineKey : int32_t {
  kKeyReturn = 145,
  kKeyTab = 146,
  kKeyBackspace = 147,
  kKeyEnter = 149,          // the keypad's Enter
  kKeyDelete = 151,
  kKeyHome = 152,
  kKeyEnd = 153,
  kKeyPageUp = 154,
  kKeyPageDown = 155,
  kKeyLeft = 156,
  kKeyDown = 157,
  kKeyRight = 158,
  kKeyUp = 159,
  kKeyEscape = 160,
};

// Modifier bits of key and mouse events.
enum : uint32_t {
  kModCapsLock = 0x1,
  kModShift = 0x2,
  kModControl = 0x4,
  kModAlt = 0x8,
  kModNumLock = 0x100,
  kModScrollLock = 0x200,
  kModButtonsSwapped = 0x400,
  kModLeftButton = 0x10000,
  kModRightButton = 0x20000,
  kModMiddleButton = 0x40000,
  kModAutoRepeat = 0x40000000,   // key events: the key-down repeats a held key
  kModDoubleClick = 0x40000000,  // mouse events: the press is a double-click
};

// Built from a native key-down and the character message that follows it.
struct KeyEvent {
  uint8_t character;     // the character typed (Windows-1252), 0 when the key types none
  int32_t key;           // EngineKey, or the code described there
  uint32_t virtualKey;   // the native virtual-key code
  uint32_t modifiers;
};

enum MouseButton : int32_t { kNoButton = 0, kLeftButton = 1, kRightButton = 2, kMiddleButton = 3 };

// Built for every native mouse message of the client area.
struct MouseEvent {
  Point point;           // in the native window's client area (the coordinates of element rectangles)
  uint32_t message;      // the native mouse message (WM_MOUSEMOVE ... WM_MBUTTONDBLCLK)
  MouseButton button;    // the button that went down or up, none for a move
  uint32_t modifiers;    // as in KeyEvent, with kModDoubleClick on double-clicks
};

constexpr size_t kInputLinkSize = 1024;

// Filled while a key or mouse event is handled. An element that takes the input says so with
// input_take() (interface/element_support.h). After the page has handled the event, in a top-level
// window, the element that took it is activated: event 9, then its SCRIPT or its link - the link given
// here when there is one, else its HREF.
struct InputResult {
  bool taken;
  InterfaceWindow* window;     // the window and element that took the input
  Element* element;
  char link[kInputLinkSize];   // a link the element supplies (a text box: the target of a clicked link)
};

// What a handler is called with.
struct ElementContext {
  HWND window;            // the native window: the parent of the element's native child controls
  HDC dc;                 // where kMessageDraw draws: the window's off-screen buffer while the page is
                          // painted, else the window's own context
  HDC windowDc;           // the native window's own context: a native control paints itself (WM_PAINT)
                          // when dc is this one, and is printed into dc (WM_PRINT) otherwise
  MarkupNode* node;       // the element's markup: attributes, and the content inside it
  MemoryHandle instance;  // the class's own buffer: empty at kMessageCreate, sized and owned by the class
};

using ElementHandler = Status (*)(const ElementContext& context, int32_t message, intptr_t parameter, void* out);

constexpr size_t kElementTagSize = 256;

// One entry of a class registry.
struct ElementClass {
  char tag[kElementTagSize];  // upper-cased
  ElementHandler handler;
};

// Registers a class for a tag (compared upper-cased) with one window (searched first) or, with none, in
// the process-wide registry that `start interface engine` fills from the built-in table (in
// interface/controls/element_classes.cpp: adding a class there is one line). A tag registered again
// takes the new handler. -7004 when memory runs out, -7001 for an empty tag or one of 256 bytes or more.
Status add_element_class(InterfaceWindow* window, const char* tag, ElementHandler handler);
