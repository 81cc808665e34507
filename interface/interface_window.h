// The records of the interface engine and the routines its files share. Internal to interface/.
#pragma once

#include <windows.h>

#include "files/paths.h"
#include "graphics/pixmap.h"
#include "graphics/port.h"
#include "images/image.h"
#include "interface/element_class.h"
#include "interface/interface.h"
#include "interface/page_directory.h"
#include "interface/parameters.h"

constexpr size_t kNameFieldSize = 256;

// A page may name a file it does not carry: a bad name, a missing folder or a missing file.
inline bool is_missing_file(Status status) {
  return status == kErrBadName || status == kErrPathNotFound || status == kErrFileNotFound;
}

// One displayed element of the current page.
struct Element {
  Element* next;
  InterfaceWindow* window;
  MemoryHandle text;       // the element's text buffer: its focusable native controls (message 50)
  MarkupNode* node;
  Rect rect;               // from RECT, moved by the window's origin
  ElementHandler handler;
  MemoryHandle instance;   // the class's buffer
  int32_t index;           // among the page's elements
  bool visible;            // refreshed after each message
};

struct PageInstance {
  Element* first;
  int32_t count;
  ParameterList parameters;
};

// A picture read for the window: preloaded, or asked for by an element. Top-level windows only.
struct CachedImage {
  char name[kNameFieldSize];
  bool pending;            // queued by PRELOAD, not read yet
  bool missing;            // the file is not there: asked again, it stays missing
  char askedBy[kNameFieldSize];  // for the log: the page file that first named it,
  uint32_t askedAt;              // and the offset of the element there
  Pixmap* pixmap;
  Pixmap* mask;
  MaskDescriptor maskDescriptor;
};

// Who has the keyboard focus. Kept in the top-level window for it and its nested windows.
struct FocusRecord {
  InterfaceWindow* window;
  Element* element;
  Element* previous;       // the element that had it before
};

// A brush of a colour for native controls, made once per window and colour.
struct ControlBrush {
  COLORREF colour;
  HBRUSH brush;
};
constexpr size_t kControlBrushLimit = 8;

struct InterfaceWindow {
  InterfaceWindow* nextOpen;   // the process-wide list of open windows
  InterfaceWindow* parent;     // none for a top-level window
  Element* frame;              // a nested window: the FRAME element that holds it
  InterfaceCallback callback;
  void* userData;
  Rect bounds;                 // in the native window's client area; a nested window's is its FRAME's
  bool needsRedraw;
  bool destroying;
  bool created;                // the native window exists (and is this window's own, when top-level)
  bool autoPlaced;
  bool visible;
  bool enabled;
  bool sizing;                 // the engine itself is resizing the native window
  bool nativeGone;             // the native window was destroyed from outside
  HWND native;
  GraphicsPort* port;          // on the native window; a top-level window's, shared by its nested ones
  Pixmap* offscreen;           // the page is drawn here first (top-level only)
  ElementClass* classes;       // the window's own registry
  size_t classCount;
  CachedImage* images;         // top-level only
  size_t imageCount;
  int64_t lastPreload;         // milliseconds
  char interfaceName[kNameFieldSize];  // upper-cased
  PathSpec* folder;            // where the page file came from
  char file[kNameFieldSize];
  MarkupNode* document;
  MarkupNode* interfaceElement;
  PageDirectory directory;
  ValueTable* variables;
  PageInstance page;
  uint32_t pageGeneration;     // changes whenever the page's elements are made or torn down
  const PageRecord* currentPage;
  FocusRecord focus;
  Colour foreground;
  Colour background;
  char title[kNameFieldSize];
  Pixmap* backgroundImage;
  Pixmap* backgroundMask;
  MaskDescriptor backgroundMode;
  Rect interfaceRect;          // the INTERFACE's rectangle: the size of an auto-placed window
  ControlBrush brushes[kControlBrushLimit];
  size_t brushCount;
};

// --- engine.cpp: the list of open windows, the running element, events

InterfaceWindow* first_open_window();
InterfaceWindow* top_window(InterfaceWindow* window);
void list_window(InterfaceWindow* window);
void unlist_window(InterfaceWindow* window);
// The nested window held by a FRAME element, or none.
InterfaceWindow* nested_window_of(const Element* element);
// Sends an event to the window's callback with the page and element it concerns; 0 without callback.
Status send_event(InterfaceWindow* window, int32_t event, const PageRecord* page, Element* element);
// Sends the event about the window's current page.
Status send_page_event(InterfaceWindow* window, int32_t event, Element* element);

// Keeps the window and element whose handler or callback runs, restoring the previous ones after.
class RunningScope {
 public:
  RunningScope(InterfaceWindow* window, Element* element);
  ~RunningScope();
  RunningScope(const RunningScope&) = delete;
  RunningScope& operator=(const RunningScope&) = delete;

 private:
  InterfaceWindow* window_;
  Element* element_;
};
bool handler_running();

// --- element_registry.cpp

// The class for a tag: the window's registry, those of the windows enclosing it, the process-wide one.
ElementHandler find_element_class(const InterfaceWindow* window, const char* tag);
Status register_built_in_classes();
void free_element_classes(InterfaceWindow* window);  // none: the process-wide registry

// --- element_calls.cpp: messages to elements

// Sends the message under the rules of the protocol (not to hidden elements for 16 to 50, the visible
// flag refreshed after), with the window's colours in the context.
Status send_message(Element* element, int32_t message, intptr_t parameter = 0, void* out = nullptr);
// The context while the page is drawn off-screen; none otherwise.
void set_drawing_context(HDC dc);
Element* element_at(InterfaceWindow* window, int32_t index, Status* status);

// --- page_build.cpp

Status build_page(InterfaceWindow* window, const PageRecord* page);
void tear_down_page(InterfaceWindow* window);
// The element under the point (last to first, visible, inside its rectangle, hit test), or none.
Element* element_under(InterfaceWindow* window, Point point);

// --- document.cpp

// Forgets the document, the page, the colours and the background: what load_interface starts from.
void clear_interface(InterfaceWindow* window);

// --- navigation.cpp

// Event 6 for the page shown, then the focus is let go. -8404 when either is vetoed.
Status leave_page(InterfaceWindow* window);
// A link "#page", "file#page" or "file": the file (the current one for "#page") and the page (empty
// for none).
struct LinkTarget {
  char file[kInputLinkSize];
  char page[kNameFieldSize];
};
void split_link(const char* link, const char* currentFile, LinkTarget* target);
// After a key or mouse event of a top-level window: activates the element that took it.
Status activate_taker(InterfaceWindow* top, InputResult* result);

// --- focus.cpp and keys.cpp

Status move_focus(InterfaceWindow* window, Element* element);
Status move_focus_along_tab_order(InterfaceWindow* window, bool forward);
// Lets the focused element go when it belongs to the window (or a window nested in it), without asking.
void forget_focus_in(InterfaceWindow* window);
void restore_focus(InterfaceWindow* top);
// An element that is hidden or disabled gives the focus up: it moves on along the tab order.
Status release_focus_of(Element* element);
// The shortcut rules for a key event on the window's page. `nested`: a FRAME passes the key on, and
// the focused element has already been asked.
Status run_key_rules(InterfaceWindow* window, const KeyEvent& event, InputResult* result, bool nested);
KeyEvent make_key_event(uint32_t virtualKey, uint8_t character, LPARAM keyData);
// The key event's engine key code.
int32_t engine_key(uint32_t virtualKey, bool extended);
Status handle_key(InterfaceWindow* top, const KeyEvent& event);

// --- mouse.cpp

MouseEvent make_mouse_event(UINT message, WPARAM wParam, LPARAM lParam);
Status dispatch_mouse(InterfaceWindow* window, const MouseEvent& event, InputResult* result);
int32_t cursor_at(InterfaceWindow* window, const MouseEvent& event);

// --- window_paint.cpp

Status draw_window(InterfaceWindow* window);
void paint_window(InterfaceWindow* top, HDC dc, const RECT& area);
void request_redraw(InterfaceWindow* window);
// Redraws the area now (none: the whole window), through the off-screen buffer.
Status redraw_now(InterfaceWindow* window, const Rect* area);

// --- window_procedure.cpp

LRESULT CALLBACK interface_window_procedure(HWND native, UINT message, WPARAM wParam, LPARAM lParam);
void free_control_brushes(InterfaceWindow* top);

// --- window_open.cpp

// A window record listed and initialised; the native side is the caller's.
InterfaceWindow* new_window_record(InterfaceWindow* parent, InterfaceCallback callback, void* userData);
void free_window_record(InterfaceWindow* window);
// The nested window of a FRAME: the enclosing window's native window, port, callback and user data,
// the FRAME's rectangle as bounds; event 0, then the file is loaded.
Status open_nested_interface(InterfaceWindow* parent, Element* frame, const Rect& bounds, const char* file,
                             const char* pageName, InterfaceWindow** window);

// --- preload.cpp

void queue_preloads(InterfaceWindow* window);
void preload_step(InterfaceWindow* top);
void free_images(InterfaceWindow* top);
Status find_image(InterfaceWindow* window, const char* file, CachedImage** image);
// Reads an item of the window's page source into a new handle, at most the page size limit.
Status read_page_item(InterfaceWindow* window, const char* name, MemoryHandle* data);

// --- engine.cpp: idle

void idle_tick(InterfaceWindow* window);
