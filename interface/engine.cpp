// The engine's start and stop, the list of open interface windows, the element whose handler runs,
// events to the page program, and the idle routine.
#include <iterator>

#include "files/file_system.h"
#include "graphics/graphics_init.h"
#include "interface/cursors.h"
#include "interface/interface_window.h"
#include "interface/variables.h"
#include "runtime/clock.h"
#include "runtime/platform.h"
#include "runtime/text.h"

namespace {

bool gStarted = false;
InterfaceWindow* gOpenWindows = nullptr;
InterfaceWindow* gRunningWindow = nullptr;
Element* gRunningElement = nullptr;

// A tool window without close box, one with a close box, and the class of windows that own others.
struct WindowClassDescription {
  const char* name;
  UINT style;
};
constexpr WindowClassDescription kWindowClasses[] = {
    {"interface_tool", CS_NOCLOSE},
    {"interface_tool_closebox", 0},
    {"interface_tool_parent", 0},
};

void UnregisterWindowClasses() {
  for (const WindowClassDescription& description : kWindowClasses)
    UnregisterClassA(description.name, GetModuleHandleA(nullptr));
}

// The program's icon in the sizes the system shows, each picked from the icon's own images (left to
// the system, the small one is scaled down from the large one, which takes longer).
HICON ProgramIcon(HINSTANCE instance, int width, int height) {
  return static_cast<HICON>(LoadImageA(instance, "IDI_APPICON", IMAGE_ICON, width, height, LR_SHARED));
}

Status RegisterWindowClasses() {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  // None until the program carries an icon.
  HICON icon = ProgramIcon(instance, GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON));
  HICON smallIcon = ProgramIcon(instance, GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON));
  HCURSOR arrow = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
  for (const WindowClassDescription& description : kWindowClasses) {
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = description.style;
    windowClass.lpfnWndProc = interface_window_procedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = icon;
    windowClass.hIconSm = smallIcon;
    windowClass.hCursor = arrow;
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
    windowClass.lpszClassName = description.name;
    if (!RegisterClassExA(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
      UnregisterWindowClasses();
      return kErrNativeWindow;
    }
  }
  return kOk;
}

// Every top-level window gets its idle tick; a nested window gets it from its FRAME, inside its
// top-level window's tick. A tick may close windows, so the windows are taken first.
void InterfaceIdle() {
  InterfaceWindow* tops[16];
  size_t count = 0;
  for (InterfaceWindow* window = gOpenWindows; window && count < std::size(tops); window = window->nextOpen)
    if (!window->parent) tops[count++] = window;
  for (size_t i = 0; i < count; ++i)
    if (is_interface_open(tops[i]) && !tops[i]->destroying) idle_tick(tops[i]);
}

const char* ElementName(const Element* element) {
  return element ? get_value(element->node->attributes, "NAME") : nullptr;
}

}  // namespace

Status start_interface_engine() {
  if (gStarted) return kOk;
  Status status = PlatformStart();
  if (status == kOk) status = FileLayerStart();
  if (status == kOk) status = GraphicsInit();
  if (status == kOk) status = RegisterWindowClasses();
  if (status != kOk) return status;
  status = register_built_in_classes();
  if (status == kOk) status = PlatformAddIdle(InterfaceIdle);
  if (status == kOk) status = PlatformAtExit(stop_interface_engine);
  if (status != kOk) {
    free_element_classes(nullptr);
    UnregisterWindowClasses();
    return status;
  }
  gStarted = true;
  return kOk;
}

void stop_interface_engine() {
  if (!gStarted) return;
  while (gOpenWindows) close_interface(top_window(gOpenWindows));
  free_element_classes(nullptr);
  free_process_variables();
  release_cursors();
  UnregisterWindowClasses();
  gStarted = false;
}

bool interface_engine_started() { return gStarted; }

InterfaceWindow* first_open_window() { return gOpenWindows; }

InterfaceWindow* top_window(InterfaceWindow* window) {
  while (window && window->parent) window = window->parent;
  return window;
}

void list_window(InterfaceWindow* window) {
  window->nextOpen = gOpenWindows;
  gOpenWindows = window;
}

void unlist_window(InterfaceWindow* window) {
  for (InterfaceWindow** link = &gOpenWindows; *link; link = &(*link)->nextOpen) {
    if (*link == window) {
      *link = window->nextOpen;
      window->nextOpen = nullptr;
      return;
    }
  }
}

bool is_interface_open(const InterfaceWindow* window) {
  for (const InterfaceWindow* open = gOpenWindows; open; open = open->nextOpen)
    if (open == window) return true;
  return false;
}

HWND native_window_of(const InterfaceWindow* window) {
  return is_interface_open(window) && window->created ? window->native : nullptr;
}

InterfaceWindow* interface_parent(const InterfaceWindow* window) {
  return is_interface_open(window) ? window->parent : nullptr;
}

InterfaceWindow* nested_window_of(const Element* element) {
  for (InterfaceWindow* window = gOpenWindows; window; window = window->nextOpen)
    if (window->frame == element && window->parent == element->window) return window;
  return nullptr;
}

ValueTable** window_variables(InterfaceWindow* window) { return &window->variables; }

RunningScope::RunningScope(InterfaceWindow* window, Element* element)
    : window_(gRunningWindow), element_(gRunningElement) {
  gRunningWindow = window;
  gRunningElement = element;
}

RunningScope::~RunningScope() {
  gRunningWindow = window_;
  gRunningElement = element_;
}

bool handler_running() { return gRunningElement != nullptr; }
InterfaceWindow* running_window() { return gRunningWindow; }
Element* running_element() { return gRunningElement; }

Status send_event(InterfaceWindow* window, int32_t event, const PageRecord* page, Element* element) {
  if (!window->callback) return kOk;
  RunningScope scope(window, element);
  return window->callback(window, window->userData, event, page ? page->name : nullptr, element ? element->index : -1,
                          ElementName(element));
}

Status send_page_event(InterfaceWindow* window, int32_t event, Element* element) {
  return send_event(window, event, window->currentPage, element);
}

void idle_tick(InterfaceWindow* window) {
  if (window->currentPage) {
    send_page_event(window, kEventIdle, nullptr);
    if (!is_interface_open(window)) return;
  }
  const uint32_t generation = window->pageGeneration;
  for (Element* element = window->page.first; element; element = element->next) {
    send_message(element, kMessageIdle);
    if (!is_interface_open(window) || window->pageGeneration != generation) return;
  }
  if (!window->parent) preload_step(window);
}
