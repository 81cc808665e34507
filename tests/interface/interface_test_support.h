// Interface windows in a test: page files written to a scratch folder, a window opened on them with a
// callback that records every event (and registers the test element classes at event 0), and the
// message loop of the program, run until the queue is empty.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "files/file_system.h"
#include "interface/interface.h"
#include "interface/interface_window.h"
#include "interface/variables.h"
#include "tests/files/file_layer_checks.h"
#include "tests/interface/test_classes.h"

class InterfaceTest : public ::testing::Test {
 protected:
  // On screen, away from the corner where Wine puts windows it has no place for.
  static constexpr Rect kPlacement{200, 150, 600, 450};

  void SetUp() override {
    ASSERT_EQ(start_interface_engine(), kOk);
    folder_ = Resolve(nullptr, PathTextOf(scratch_.path()).c_str());
    ASSERT_TRUE(folder_);
    probe_log().clear();
  }
  // Whatever the test left open goes, so that no window calls a finished test back.
  void TearDown() override {
    while (InterfaceWindow* window = first_open_window()) close_interface(top_window(window));
    Pump();
  }

  static UniquePath Resolve(PathSpec* base, const char* text) {
    PathSpec* path = nullptr;
    return UniquePath(PathResolve(base, text, &path, false) == kOk ? path : nullptr);
  }

  // A page file: `pages` go inside <INTERFACE ...attributes>.
  void PutInterface(const std::string& name, const std::string& attributes, const std::string& pages) {
    scratch_.Put(name, "<INTERFACE " + attributes + ">" + pages + "</INTERFACE>");
  }

  Status Open(const char* file, const char* page = nullptr, const Rect* placement = &kPlacement) {
    return open_interface("Interface test", true, true, placement, folder_.get(), file, nullptr, page, Record, this,
                          &window_);
  }

  // Runs the program's message loop until no message is left (and the timers had a turn).
  void Pump(int rounds = 3) {
    for (int round = 0; round < rounds; ++round) {
      MSG message;
      while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (!pretranslate_message(&message)) {
          TranslateMessage(&message);
          DispatchMessageA(&message);
        }
      }
      Sleep(10);
    }
  }

  HWND Native() const { return native_window_of(window_); }
  static int OpenWindowCount() {
    int count = 0;
    for (InterfaceWindow* window = first_open_window(); window; window = window->nextOpen) ++count;
    return count;
  }

  // A key pressed on the window (or a control of it): key-down (with Alt as a system key), key-up.
  void Press(UINT virtualKey, bool alt = false, HWND target = nullptr, bool repeated = false) {
    if (!target) target = Native();
    const LPARAM scan = LPARAM(MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC)) << 16;
    const LPARAM down = 1 | scan | (alt ? 1 << 29 : 0) | (repeated ? 1 << 30 : 0);
    PostMessageA(target, alt ? WM_SYSKEYDOWN : WM_KEYDOWN, virtualKey, down);
    PostMessageA(target, alt ? WM_SYSKEYUP : WM_KEYUP, virtualKey, down | (1 << 30) | (1u << 31));
    Pump();
  }

  void Click(int x, int y) {
    PostMessageA(Native(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    PostMessageA(Native(), WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    Pump();
  }

  // Events as "window event page index name": "0 9 intro 1 next"; windows numbered as they were made.
  // All of them but the idle ticks, which come with the clock, or those of one kind.
  std::vector<std::string> Events(int32_t only = -1) const {
    std::vector<std::string> lines;
    for (const std::string& line : events_) {
      const size_t first = line.find(' '), second = line.find(' ', first + 1);
      const int32_t event = std::stoi(line.substr(first + 1, second - first - 1));
      if (only < 0 ? event != kEventIdle : event == only) lines.push_back(line);
    }
    return lines;
  }
  void ClearEvents() { events_.clear(); }
  // The answer to an event (of any page, or of the named one).
  void Answer(int32_t event, Status answer, const std::string& page = "") { answers_[{event, page}] = answer; }

  InterfaceWindow* Window(int number) const { return number < int(windows_.size()) ? windows_[number] : nullptr; }
  std::string PageShown(InterfaceWindow* window) const {
    const PageRecord* page = current_page(window);
    return page ? page->name : "<none>";
  }

  ScratchFolder scratch_;
  UniquePath folder_;
  InterfaceWindow* window_ = nullptr;
  std::function<void(int32_t event)> onEvent_;  // runs inside the callback

 private:
  static Status Record(InterfaceWindow* window, void* userData, int32_t event, const char* page, int32_t index,
                       const char* name) {
    auto* self = static_cast<InterfaceTest*>(userData);
    if (event == kEventWindowMade) {
      self->windows_.push_back(window);
      add_element_class(window, "SWATCH", swatch_element);
      add_element_class(window, "FIELD", field_element);
      add_element_class(window, "PROBE", probe_element);
    }
    int number = 0;
    while (number < int(self->windows_.size()) && self->windows_[number] != window) ++number;
    self->events_.push_back(std::to_string(number) + " " + std::to_string(event) + " " + (page ? page : "-") + " " +
                            std::to_string(index) + " " + (name ? name : "-"));
    if (self->onEvent_) self->onEvent_(event);
    auto answer = self->answers_.find({event, page ? page : ""});
    if (answer == self->answers_.end()) answer = self->answers_.find({event, ""});
    return answer == self->answers_.end() ? kOk : answer->second;
  }

  std::vector<std::string> events_;
  std::vector<InterfaceWindow*> windows_;
  std::map<std::pair<int32_t, std::string>, Status> answers_;
};
