// A stand-in for the interface engine around element classes under test: it parses a page, creates
// one element per tag it is given a handler for, sends them the engine's creation messages, draws them
// into an off-screen DIB section and onto a real window, dispatches presses to them, and answers the
// helpers of interface/element_support.h (events are recorded; pictures are the maps a test adds).
// It lets the classes be tried on real windows before, and beside, the whole engine.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "graphics/pixmap.h"
#include "interface/element_class.h"
#include "interface/markup_node.h"

struct HostedElement {
  MarkupNode* node;
  ElementHandler handler;
  MemoryHandle instance;
  std::string name;
  bool visible = true;
};

class ElementHost {
 public:
  static constexpr int kWidth = 320;
  static constexpr int kHeight = 240;

  ElementHost();
  ~ElementHost();
  ElementHost(const ElementHost&) = delete;
  ElementHost& operator=(const ElementHost&) = delete;

  // Adds a picture the elements find by name (the host keeps the map).
  void AddPicture(const char* name, Pixmap* pixmap);
  // Parses the page and makes an element for each element of the given tags, in document order.
  Status Open(const char* page, const std::vector<std::pair<const char*, ElementHandler>>& classes);

  // Sends a message to element `index` as the engine does (then refreshing its visible flag).
  Status Send(size_t index, int32_t message, intptr_t parameter = 0, void* out = nullptr);
  size_t Find(const char* name) const;
  HostedElement& Element(size_t index) { return elements_[index]; }

  // Draws every visible element into the buffer and copies it onto the window.
  Status Redraw();
  COLORREF Pixel(int x, int y) const;
  // Writes the buffer as a 24-bit BMP.
  bool SaveBitmap(const std::string& path) const;
  // Runs the window's messages until the condition holds or the time is up.
  template <class Condition>
  bool Pump(Condition condition, DWORD milliseconds = 5000) {
    const DWORD start = GetTickCount();
    while (!condition()) {
      if (GetTickCount() - start > milliseconds) return false;
      MSG message;
      while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
      }
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
  }

  HWND window() const { return window_; }
  // What the page program would have been told: events 12 to 15, and activations (9) of elements
  // that took a press or whose native control was clicked.
  struct Event {
    int32_t code;
    std::string element;
  };
  std::vector<Event> events;
  Status eventAnswer = kOk;
  bool acceptsInput = true;
  // WM_COMMAND notifications from native controls: (control, notification).
  std::vector<std::pair<HWND, int>> commands;

  // The helpers' side: the host whose element's handler is running.
  static ElementHost* running;
  HostedElement* runningElement = nullptr;
  MarkupNode* tree = nullptr;
  Status LookUpPicture(const char* name, Pixmap** pixmap) const;
  Status NotifyRunning(int32_t event);
  Status RedrawRunning() { return Redraw(); }

 private:
  static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  ElementContext ContextOf(HostedElement& element, HDC dc);
  void OnPress(const MouseEvent& press);

  HWND window_ = nullptr;
  HDC windowDc_ = nullptr;
  HDC bufferDc_ = nullptr;
  HBITMAP buffer_ = nullptr;
  HGDIOBJ previous_ = nullptr;
  uint32_t* bits_ = nullptr;
  std::vector<HostedElement> elements_;
  std::vector<std::pair<std::string, Pixmap*>> pictures_;
};
