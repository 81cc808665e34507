// The page previewer: a page file shown in an interface window exactly as the order program shows it,
// loaded again whenever a file of its folder changes, keeping the pages the author was on; beside it
// the list of the file's pages and the log of the page events, the parser's repairs, the pictures that
// could not be read and the check of the names the order program needs. Windows only.
#pragma once

#include <windows.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "interface/interface.h"
#include "interface/interface_log.h"
#include "tools/preview/change_settling.h"
#include "tools/preview/folder_watch.h"
#include "tools/preview/page_source.h"
#include "tools/preview/page_view.h"
#include "tools/preview/preview_window.h"

class Previewer {
 public:
  Previewer() = default;
  ~Previewer();
  Previewer(const Previewer&) = delete;
  Previewer& operator=(const Previewer&) = delete;

  // Starts the layers and the engine, sets the variables the pages show, makes the windows and opens
  // the folder or page file named by `argument`, or the one chosen in the open dialog when there is
  // none. A source that cannot be opened is logged and the window stays for another to be chosen.
  // -7007 when the dialog is cancelled.
  Status Start(const char* argument);
  // The message loop, until the previewer's window is closed; 0 then.
  Status Run();

 private:
  static Status OnEvent(InterfaceWindow* window, void* self, int32_t event, const char* page, int32_t index,
                        const char* name);
  static void OnEngineLog(void* self, const InterfaceLogEntry& entry);

  void Log(const std::string& line);
  void LogVariables();
  void Open(const PageSource& source);
  void ChooseAndOpen();
  // Closes the page window and opens it again on the file, with the pages the author was on.
  void Reload(const char* why);
  void ClosePageWindow();
  void ChoosePage(int index);
  void ShowPageList();
  void CheckWalk();
  uint32_t LineOf(const char* file, uint32_t offset);
  // After the messages of one round: a page window that went, the view and the list's selection.
  void Follow();

  PreviewWindow window_;
  PageSource source_;
  PathSpec* folder_ = nullptr;
  FolderWatch watch_;
  ChangeSettling settling_{100, 1000};
  InterfaceWindow* page_ = nullptr;
  bool placed_ = false;              // where the page window was, for the next one
  RECT place_{};
  WindowView view_;                  // the pages on show, kept for the next load
  bool viewChanged_ = false;
  std::vector<InterfaceWindow*> windowNumbers_;  // the page window 0, then its frames as they come
  std::set<std::string> logged_;     // repairs and pictures already in the log since the last load
  std::map<std::string, std::string> texts_;  // page files read to find a line, since the last load
};
