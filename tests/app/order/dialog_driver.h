// Answers a common dialog of the test process from a thread of its own, with window messages: waits
// for the dialog of that title, optionally types a file name into its name box, and presses a button.
#pragma once

#include <windows.h>

#include <string>
#include <thread>

class DialogDriver {
 public:
  // button: IDOK or IDCANCEL. fileName: typed into the file name box first, when given.
  DialogDriver(const char* title, int button, std::string fileName = "")
      : thread_([this, title = std::string(title), button, fileName] { Run(title, button, fileName); }) {}
  ~DialogDriver() { Join(); }
  DialogDriver(const DialogDriver&) = delete;
  DialogDriver& operator=(const DialogDriver&) = delete;

  void Join() {
    if (thread_.joinable()) thread_.join();
  }
  bool shown() const { return shown_; }
  bool closed() const { return closed_; }

 private:
  void Run(const std::string& title, int button, const std::string& fileName) {
    HWND dialog = nullptr;
    for (int i = 0; i < 600 && !dialog; ++i) {  // 30 s: a dialog takes seconds under emulation
      dialog = FindWindowA("#32770", title.c_str());
      if (!dialog || !IsWindowVisible(dialog)) dialog = nullptr, Sleep(50);
    }
    if (!dialog) return;
    shown_ = true;
    Sleep(300);  // until it has finished its own start-up
    if (!fileName.empty()) {
      // The name box is a combo box on newer dialogs, an edit control on older ones.
      if (!SetDlgItemTextA(dialog, 0x47c, fileName.c_str())) SetDlgItemTextA(dialog, 0x480, fileName.c_str());
    }
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
    for (int i = 0; i < 400 && IsWindow(dialog); ++i) Sleep(50);
    closed_ = !IsWindow(dialog);
    if (!closed_) PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);  // so that the test ends
  }

  bool shown_ = false;
  bool closed_ = false;
  std::thread thread_;
};
