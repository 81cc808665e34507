// The previewer's own window, beside the page window: the list of the loaded file's pages (choosing one
// shows it) above the log, with a menu to open other pages, reload them and clear the log. Windows only.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "runtime/status.h"

struct PreviewCommands {
  std::function<void()> open;                // File > Open... (Ctrl+O)
  std::function<void()> reload;              // File > Reload (F5)
  std::function<void(int index)> choosePage; // the author chose a page in the list
};

class PreviewWindow {
 public:
  static constexpr char kTitle[] = "Skyward Preview";

  PreviewWindow() = default;
  ~PreviewWindow();
  PreviewWindow(const PreviewWindow&) = delete;
  PreviewWindow& operator=(const PreviewWindow&) = delete;

  // Makes the window (hidden); -8400 when it cannot be made. Closing it ends the message loop.
  Status Create(PreviewCommands commands);
  HWND Handle() const { return window_; }
  // Shows the window beside the page window (none: where it is), moving the page window to the left
  // when both would not fit on the desktop side by side.
  void ShowBeside(HWND page);

  // One line per page ("intro\tWelcome"); the selection shows a page, -1 none. Selecting from here
  // does not call choosePage.
  void SetPages(const std::vector<std::string>& lines);
  void SelectPage(int index);
  void Log(const std::string& line);
  void ClearLog();

  // For the message loop, before the engine sees the message: the menu's keys (in either window) and
  // Tab between the lists. True when the message was handled.
  bool Translate(MSG* message);

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void OnCreate();
  void OnSize(int width, int height);
  void OnCommand(WORD id, WORD code);

  PreviewCommands commands_;
  HWND window_ = nullptr;
  HWND pagesLabel_ = nullptr, pages_ = nullptr, logLabel_ = nullptr, log_ = nullptr;
  HACCEL keys_ = nullptr;
};
