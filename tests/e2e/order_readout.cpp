// What the order program under test shows, read back from its windows for the tests and written to
// standard output as JSON lines: the pages on show (outermost first), every named control of the
// innermost page with its visibility and its value as the control holds it (the unnamed ones as
// "#<index>"), the order form table, the cursor the program shows and how many print jobs it has open,
// whenever they change (also while the program waits for the network); each time the walk arrives at the page "main", how many GDI objects and child
// windows the program holds; and the order form table once more as the program's window goes, after
// the page on show has stored its entries. Linked into the test variant only: it registers itself as
// an idle routine of the platform, so the program's own sources stay as shipped.
#include <windows.h>

#include <string>
#include <vector>

#include "app/order_state.h"
#include "graphics/print_job.h"
#include "interface/interface.h"
#include "interface/interface_window.h"
#include "runtime/platform_routines.h"
#include "tests/graphics/gdi_objects.h"

namespace {

std::string Quoted(const std::string& text) {
  std::string quoted = "\"";
  for (const unsigned char c : text) {
    if (c == '"' || c == '\\') {
      quoted += '\\';
      quoted += char(c);
    } else if (c < 0x20) {
      char escape[8];
      wsprintfA(escape, "\\u%04x", c);
      quoted += escape;
    } else if (c >= 0x80) {
      char escape[8];  // Windows-1252 bytes as Latin-1 code points: enough for what the tests type
      wsprintfA(escape, "\\u%04x", c);
      quoted += escape;
    } else {
      quoted += char(c);
    }
  }
  return quoted + "\"";
}

void Write(const std::string& line) {
  HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
  if (output == nullptr || output == INVALID_HANDLE_VALUE) return;
  const std::string withEnd = line + "\r\n";
  DWORD written = 0;
  WriteFile(output, withEnd.data(), DWORD(withEnd.size()), &written, nullptr);
}

BOOL CALLBACK CountWindow(HWND, LPARAM counter) {
  ++*reinterpret_cast<int*>(counter);
  return TRUE;
}

std::string Table() {
  std::string entries = "{";
  if (const ValueTable* table = OrderFormTable()) {
    for (const ValueEntry* entry = first_entry(table); entry; entry = entry->next)
      entries += std::string(entries.size() > 1 ? "," : "") + Quoted(entry->key) + ":" + Quoted(entry->value());
  }
  return entries + "}";
}

// The program's window is going: what the page on show stored on leaving is in the table now.
LRESULT CALLBACK WatchMessages(int code, WPARAM wParam, LPARAM lParam) {
  const auto* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
  char className[64] = "";
  if (code == HC_ACTION && message->message == WM_DESTROY && !GetParent(message->hwnd) &&
      GetClassNameA(message->hwnd, className, sizeof className) && lstrcmpA(className, "interface_tool_closebox") == 0)
    Write("readout {\"closing\":" + Table() + "}");
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

std::string gLastPages, gLastControls, gLastTable;
HHOOK gWatch = nullptr;

void ReadOut() {
  // The chain of windows from the top-level one to the innermost frame: one frame per page here.
  std::vector<InterfaceWindow*> chain;
  for (InterfaceWindow* window = first_open_window(); window; window = window->nextOpen) {
    if (window->destroying) return;  // closing: nothing settled to read
    if (!window->parent && chain.empty()) chain.push_back(window);
  }
  if (chain.empty()) return;
  for (bool deeper = true; deeper;) {
    deeper = false;
    for (InterfaceWindow* window = first_open_window(); window; window = window->nextOpen) {
      if (window->parent == chain.back()) {
        chain.push_back(window);
        deeper = true;
        break;
      }
    }
  }
  std::string pages = "[";
  for (size_t i = 0; i < chain.size(); ++i) {
    const PageRecord* page = current_page(chain[i]);
    pages += (i ? "," : "") + Quoted(page ? page->name : "");
  }
  pages += "]";
  InterfaceWindow* inner = chain.back();
  std::string controls = "{";
  for (int32_t index = 0; index < count_elements(inner); ++index) {
    const char* name = get_value(element_node(inner, index)->attributes, "NAME");
    const std::string key = name ? name : "#" + std::to_string(index);
    char value[1024] = "";
    element_value(inner, index, value, sizeof value);
    controls += std::string(controls.size() > 1 ? "," : "") + Quoted(key) + ":{\"visible\":" +
                (element_visible(inner, index) ? "true" : "false") + ",\"value\":" + Quoted(value) + "}";
  }
  controls += "}";
  if (!gWatch) gWatch = SetWindowsHookExA(WH_CALLWNDPROC, WatchMessages, nullptr, GetCurrentThreadId());
  const HCURSOR cursor = GetCursor();
  // The table, the cursor and the open print jobs, as members of the readout.
  const std::string table = Table() + ",\"cursor\":" +
                            Quoted(cursor == LoadCursorA(nullptr, IDC_WAIT)    ? "wait"
                                   : cursor == LoadCursorA(nullptr, IDC_ARROW) ? "arrow"
                                   : cursor == LoadCursorA(nullptr, IDC_HAND)  ? "hand"
                                                                               : "other") +
                            ",\"print_jobs\":" + std::to_string(PrintJobOpenCount());
  if (pages == gLastPages && controls == gLastControls && table == gLastTable) return;
  const bool arrivedAtMain = pages != gLastPages && pages.find("\"main\"") != std::string::npos;
  gLastPages = pages;
  gLastControls = controls;
  gLastTable = table;
  Write("readout {\"pages\":" + pages + ",\"controls\":" + controls + ",\"table\":" + table + "}");
  if (arrivedAtMain) {
    int children = 0;
    EnumChildWindows(native_window_of(chain[0]), CountWindow, reinterpret_cast<LPARAM>(&children));
    int threadWindows = 0;
    EnumThreadWindows(GetCurrentThreadId(), CountWindow, reinterpret_cast<LPARAM>(&threadWindows));
    Write("readout {\"resources\":{\"gdi\":" + std::to_string(GdiObjectLevel()) + ",\"children\":" +
          std::to_string(children) + ",\"thread_windows\":" + std::to_string(threadWindows) + "}}");
  }
}

// Registered before the program starts its platform: the routine list is plain data.
const bool gRegistered = PlatformAddIdle(ReadOut) == kOk;

}  // namespace
