#include "tools/preview/previewer.h"

#include <algorithm>

#include "app/start_up_variables.h"
#include "files/file_system.h"
#include "graphics/graphics_init.h"
#include "interface/variables.h"
#include "runtime/clock.h"
#include "runtime/memory.h"
#include "runtime/platform.h"
#include "tools/preview/log_lines.h"
#include "tools/preview/page_location.h"
#include "tools/preview/walk_check.h"

namespace {

constexpr uint32_t kPageFileLimit = 204800;  // what the engine reads of a page file

std::string DiskPathOf(const PageSource& source) {
  return source.folder + (source.folder.back() == '\\' ? "" : "\\") + source.file;
}

}  // namespace

Previewer::~Previewer() {
  set_interface_log(nullptr, nullptr);
  ClosePageWindow();
  PathDispose(folder_);
}

Status Previewer::Start(const char* argument) {
  Status status = PlatformStart();
  if (status == kOk) status = GraphicsInit();
  if (status == kOk) status = FileLayerStart();
  if (status == kOk) status = start_interface_engine();
  if (status == kOk) status = OrderSetStartUpVariables(GetModuleHandleA(nullptr));
  if (status == kOk)
    status = window_.Create({[this] { ChooseAndOpen(); }, [this] { Reload("reloaded"); },
                             [this](int index) { ChoosePage(index); }});
  if (status != kOk) return status;
  set_interface_log(OnEngineLog, this);
  LogVariables();
  PageSource source;
  if (argument && *argument) {
    status = PageSourceFromPath(argument, &source);
    if (status != kOk) Log(std::string("Cannot open ") + argument + ": " + StatusWords(status));
  } else {
    status = PageSourceFromDialog(&source);
    if (status == kErrCancelled) return status;
  }
  if (status == kOk) Open(source);
  window_.ShowBeside(page_ ? native_window_of(page_) : nullptr);
  return kOk;
}

Status Previewer::Run() {
  for (;;) {
    const int64_t wait = settling_.Remaining(ClockMilliseconds());
    HANDLE handle = watch_.Handle();
    const DWORD woke = MsgWaitForMultipleObjectsEx(handle ? 1 : 0, &handle, wait < 0 ? INFINITE : DWORD(wait),
                                                   QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    if (handle && woke == WAIT_OBJECT_0) {
      settling_.Changed(ClockMilliseconds());
      if (!watch_.Rearm()) Log("The folder " + source_.folder + " can no longer be watched; reload with F5.");
    }
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) return Status(message.wParam);
      if (window_.Translate(&message) || pretranslate_message(&message)) continue;
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    Follow();
    if (settling_.Due(ClockMilliseconds())) {
      settling_.Clear();
      Reload("changed");
    }
  }
}

Status Previewer::OnEvent(InterfaceWindow* window, void* context, int32_t event, const char* page, int32_t index,
                          const char* name) {
  auto* self = static_cast<Previewer*>(context);
  std::vector<InterfaceWindow*>& numbers = self->windowNumbers_;
  if (event == kEventWindowMade) {
    std::replace(numbers.begin(), numbers.end(), window, static_cast<InterfaceWindow*>(nullptr));
    numbers.push_back(window);
  }
  if (event == kEventPageShown) self->viewChanged_ = true;
  if (event == kEventIdle) return kOk;  // ten a second: they would bury everything else
  const auto found = std::find(numbers.begin(), numbers.end(), window);
  const int number = found == numbers.end() ? -1 : int(found - numbers.begin());
  self->Log(EventLine(number, event, page, index, name));
  return kOk;  // the previewer follows every link and script as the pages write them
}

void Previewer::OnEngineLog(void* context, const InterfaceLogEntry& entry) {
  auto* self = static_cast<Previewer*>(context);
  std::string text = entry.text;
  if (entry.kind != InterfaceLogKind::kRepair) text += ": " + StatusWords(entry.code);
  const uint32_t line = entry.line ? entry.line : self->LineOf(entry.file, entry.offset);
  const std::string logLine = PlaceLine(entry.file, line, text);
  // Every link loads the file again; what it has to say was said once since the last load.
  if (self->logged_.insert(logLine).second) self->Log(logLine);
}

void Previewer::Log(const std::string& line) {
  window_.Log(line);
  // Also to standard output, when there is one, for whoever started the previewer from a shell.
  HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
  if (output == nullptr || output == INVALID_HANDLE_VALUE) return;
  const std::string withEnd = line + "\r\n";
  DWORD written = 0;
  WriteFile(output, withEnd.data(), DWORD(withEnd.size()), &written, nullptr);
}

void Previewer::LogVariables() {
  std::string line = "Variables as the order program sets them:";
  for (const char* name : kOrderStartUpVariables) {
    const char* value = get_variable(nullptr, name);
    line += std::string(" ") + name + (value ? "=\"" + std::string(value) + "\"" : " unset");
  }
  Log(line);
}

void Previewer::Open(const PageSource& source) {
  ClosePageWindow();
  PathDispose(folder_);
  folder_ = nullptr;
  view_ = {};  // the window keeps its place on the desktop, not its pages
  source_ = source;
  Status status = PageSourceFolder(source_, &folder_);
  if (status != kOk) {
    Log("Cannot open the folder " + source_.folder + ": " + StatusWords(status));
    return;
  }
  status = watch_.Start(source_.folder.c_str());
  if (status != kOk) Log("The folder " + source_.folder + " cannot be watched (" + StatusWords(status) + "): reload with F5.");
  Log("Opening " + DiskPathOf(source_));
  Reload("opened");
}

void Previewer::ChooseAndOpen() {
  PageSource source;
  const Status status = PageSourceFromDialog(&source);
  if (status == kOk) {
    Open(source);
    window_.ShowBeside(page_ ? native_window_of(page_) : nullptr);
  } else if (status != kErrCancelled) {
    Log("Cannot open that: " + StatusWords(status));
  }
}

void Previewer::ClosePageWindow() {
  if (!page_) return;
  if (is_interface_open(page_)) {
    RECT frame;
    if (GetWindowRect(native_window_of(page_), &frame)) {
      place_ = frame;
      placed_ = true;
    }
    view_ = CaptureView(page_);
    close_interface(page_);
  }
  page_ = nullptr;
}

void Previewer::Reload(const char* why) {
  if (!folder_) return;
  const bool hadWindow = page_ != nullptr;
  ClosePageWindow();
  logged_.clear();
  texts_.clear();
  windowNumbers_.clear();
  const std::string file = PageSourceFileText(source_), title = source_.file + " - " + PreviewWindow::kTitle;
  const int64_t started = ClockMilliseconds();
  InterfaceWindow* opened = nullptr;
  Status status = open_interface(title.c_str(), true, false, nullptr, folder_, file.c_str(), nullptr, nullptr,
                                 OnEvent, this, &opened);
  std::vector<std::string> lost;
  if (status == kOk) status = RestoreView(opened, view_, &lost);
  if (status != kOk) {
    if (opened) close_interface(opened);
    Log("Cannot show " + source_.file + ": " + StatusWords(status));
    window_.SetPages({});
    return;
  }
  page_ = opened;
  HWND native = native_window_of(page_);
  if (placed_) SetWindowPos(native, nullptr, place_.left, place_.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  // A reload leaves the keyboard with the author's editor.
  ShowWindow(native, hadWindow || placed_ ? SW_SHOWNOACTIVATE : SW_SHOW);
  UpdateWindow(native);
  for (const std::string& page : lost) Log("The page " + page + " is no longer in " + source_.file + ".");
  const uint32_t pages = page_directory(page_)->count;
  Log(source_.file + " " + why + ": " + std::to_string(pages) + (pages == 1 ? " page" : " pages") + " in " +
      std::to_string(ClockMilliseconds() - started) + " ms");
  ShowPageList();
  CheckWalk();
  viewChanged_ = true;
}

void Previewer::ChoosePage(int index) {
  if (index < 0) return;
  if (!page_) Reload("opened");
  if (!page_) return;
  const Status status = ShowChosenPage(page_, uint32_t(index));
  if (status != kOk) Log("Cannot show that page: " + StatusWords(status));
}

void Previewer::ShowPageList() {
  std::vector<std::string> lines;
  const PageDirectory* directory = page_directory(page_);
  for (uint32_t i = 0; i < directory->count; ++i) {
    const PageRecord& page = directory->pages[i];
    lines.push_back(std::string(page.name[0] ? page.name : "(no NAME)") + "\t" + page.title);
  }
  window_.SetPages(lines);
}

void Previewer::CheckWalk() {
  std::vector<const char*> tags;
  for (size_t i = 0; i < process_element_class_count(); ++i) tags.push_back(process_element_class_tag(i));
  for (const WalkFinding& finding : CheckWalkPages(*page_directory(page_), tags)) Log(FindingLine(finding));
}

uint32_t Previewer::LineOf(const char* file, uint32_t offset) {
  auto text = texts_.find(file);
  if (text == texts_.end()) {
    MemoryHandle data = nullptr;
    std::string bytes;
    if (FileReadAll(folder_, file, kPageFileLimit, false, &data) == kOk) {
      bytes.assign(reinterpret_cast<const char*>(HandleData(data)), HandleGetSize(data));
      HandleDispose(data);
    }
    text = texts_.emplace(file, std::move(bytes)).first;
  }
  if (text->second.empty()) return 0;
  return LineOfOffset(reinterpret_cast<const uint8_t*>(text->second.data()), text->second.size(), offset);
}

void Previewer::Follow() {
  if (page_ && !is_interface_open(page_)) {
    page_ = nullptr;
    Log("The page window was closed; choose a page or reload (F5) to show it again.");
    return;
  }
  if (!page_) return;
  RECT frame;
  if (GetWindowRect(native_window_of(page_), &frame)) {
    place_ = frame;
    placed_ = true;
  }
  if (viewChanged_) {
    viewChanged_ = false;
    view_ = CaptureView(page_);
    window_.SelectPage(WalkPageShown(page_));
  }
}
