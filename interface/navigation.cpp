// Moving between pages: leaving a page, activating an element (SCRIPT, links to pages, files and the
// web), going to a page by name, and opening web and mail links through the shell.
#include <windows.h>

#include "interface/document_tree.h"
#include "interface/interface_window.h"
#include "interface/markup_escapes.h"
#include "runtime/shell_library.h"
#include "runtime/text.h"

namespace {

constexpr size_t kLinkSize = kInputLinkSize;

// Only the script's first word counts: "Quit();" is QUIT.
Status RunScript(InterfaceWindow* window, const char* script) {
  char word[kNameFieldSize];
  TextToUpperCopy(word, script, sizeof word);
  for (char* p = word; *p; ++p) {
    if (*p == ' ' || *p == '(' || *p == ')') {
      *p = '\0';
      break;
    }
  }
  if (TextCompare(word, "QUIT") == 0) close_interface(top_window(window));
  else if (TextCompare(word, "BEEP") == 0) MessageBeep(0);
  return kOk;
}

bool IsUrl(const char* link) { return TextFind(link, "://") || TextFind(link, "mailto:"); }

// The focused element, when it lies in the window or in a window nested in it.
bool FocusIsWithin(InterfaceWindow* window) {
  InterfaceWindow* focused = top_window(window)->focus.window;
  for (; focused; focused = focused->parent)
    if (focused == window) return top_window(window)->focus.element != nullptr;
  return false;
}

}  // namespace

Status leave_page(InterfaceWindow* window) {
  if (window->currentPage) {
    const Status status = send_page_event(window, kEventPageLeaving, nullptr);
    if (status != kOk) return status;
  }
  if (!FocusIsWithin(window)) return kOk;
  return move_focus(window, nullptr);
}

Status show_page(InterfaceWindow* window, const PageRecord* page) {
  if (!is_interface_open(window)) return kErrState;
  if (window->currentPage) {
    const Status status = leave_page(window);
    if (status != kOk) return status == kErrRefused ? kOk : status;
  }
  tear_down_page(window);
  if (page) {
    Status status = send_event(window, kEventPageBuilding, page, nullptr);
    if (status != kOk) return status == kErrRefused ? kOk : status;
    window->currentPage = page;
    status = build_page(window, page);
    if (status != kOk) {
      tear_down_page(window);
      request_redraw(window);
      return status;
    }
    status = send_page_event(window, kEventPageShown, nullptr);
    if (status != kOk && status != kErrRefused) return status;
    // The first field takes the focus; a window not shown yet gives it when it is activated.
    InterfaceWindow* top = top_window(window);
    if (!top->focus.element && IsWindowVisible(top->native)) move_focus_along_tab_order(top, true);
    queue_preloads(window);
  }
  return redraw_now(window, nullptr);
}

Status go_to_page(InterfaceWindow* window, const char* pageName) {
  if (!is_interface_open(window)) return kErrState;
  return show_page(window, pageName ? page_by_name(&window->directory, pageName) : nullptr);
}

const PageDirectory* page_directory(const InterfaceWindow* window) { return &window->directory; }
const PageRecord* current_page(const InterfaceWindow* window) {
  return is_interface_open(window) ? window->currentPage : nullptr;
}

Status follow_link(InterfaceWindow* window, Element* element, const char* link) {
  if (!is_interface_open(window)) return kErrState;
  Status status = send_page_event(window, kEventActivated, element);
  if (status != kOk) return status == kErrRefused ? kOk : status;
  if (!is_interface_open(window)) return kOk;  // the page program closed it
  if (link && !*link) link = nullptr;
  if (!link && element) {
    // A script wins over a link; an empty one does nothing.
    if (const char* script = element_attribute(element->node, "SCRIPT")) return RunScript(window, script);
    link = element_attribute(element->node, "HREF");
  }
  if (!link || !*link) return kOk;
  if (IsUrl(link)) return open_url(link);

  // The file is read again even for a page of the same file.
  LinkTarget target;
  split_link(link, window->file, &target);
  char interfaceName[kNameFieldSize];
  TextCopy(interfaceName, window->interfaceName);
  return load_interface(window, window->folder, target.file, interfaceName[0] ? interfaceName : nullptr,
                        target.page[0] ? target.page : nullptr);
}

void split_link(const char* link, const char* currentFile, LinkTarget* target) {
  const char* mark = TextFindAnyOf(link, "#");
  const size_t fileLength = mark ? size_t(mark - link) : TextLength(link);
  if (fileLength == 0) {
    TextCopyBounded(target->file, currentFile, sizeof target->file);
  } else {
    TextCopyBounded(target->file, link, fileLength + 1 < sizeof target->file ? fileLength + 1 : sizeof target->file);
  }
  TextCopyBounded(target->page, mark ? mark + 1 : "", sizeof target->page);
}

Status activate_taker(InterfaceWindow* top, InputResult* result) {
  if (!result->taken || !is_interface_open(top)) return kOk;
  InterfaceWindow* window = result->window;
  Element* element = result->element;
  if (!element) {
    window = top->focus.window;
    element = top->focus.element;
  }
  if (!element || !is_interface_open(window)) return kOk;
  return follow_link(window, element, result->link[0] ? result->link : nullptr);
}

Status open_url(const char* text) {
  char escaped[2 * kLinkSize];
  const size_t length = EscapeForOutput(text, TextLength(text), EscapeMode::kPercent, true, escaped, sizeof escaped);
  if (length >= sizeof escaped) {
    MessageBeep(0);
    return kErrArgument;
  }
  HCURSOR previous = SetCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(32514)));  // the wait cursor
  const auto answer = reinterpret_cast<INT_PTR>(ShellOpen(nullptr, "open", escaped, nullptr, nullptr, SW_SHOWNORMAL));
  SetCursor(previous);
  if (answer <= 32) {
    MessageBeep(0);
    return kErrSystem;
  }
  return kOk;
}
