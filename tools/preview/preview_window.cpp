#include "tools/preview/preview_window.h"

#include <algorithm>

namespace {

constexpr char kClassName[] = "skyward_preview";
constexpr int kWidth = 480, kLeastHeight = 440, kMargin = 8, kLabelHeight = 18, kGap = 8;
constexpr size_t kLogLimit = 200000;  // characters kept in the log; the oldest half goes beyond

enum Command : WORD { kOpen = 100, kReload, kClearLog, kExit, kPageList, kLogBox };

HMENU MakeMenu() {
  HMENU file = CreatePopupMenu();
  AppendMenuA(file, MF_STRING, kOpen, "&Open...\tCtrl+O");
  AppendMenuA(file, MF_STRING, kReload, "&Reload\tF5");
  AppendMenuA(file, MF_STRING, kClearLog, "&Clear Log");
  AppendMenuA(file, MF_SEPARATOR, 0, nullptr);
  AppendMenuA(file, MF_STRING, kExit, "E&xit");
  HMENU bar = CreateMenu();
  AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), "&File");
  return bar;
}

HACCEL MakeKeys() {
  ACCEL keys[] = {{FVIRTKEY | FCONTROL, 'O', kOpen}, {FVIRTKEY, VK_F5, kReload}};
  return CreateAcceleratorTableA(keys, int(std::size(keys)));
}

HWND MakeChild(HWND parent, const char* className, const char* text, DWORD style, WORD id) {
  HWND child = CreateWindowExA(0, className, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 10, 10, parent,
                               reinterpret_cast<HMENU>(UINT_PTR(id)), GetModuleHandleA(nullptr), nullptr);
  SendMessageA(child, WM_SETFONT, WPARAM(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  return child;
}

}  // namespace

PreviewWindow::~PreviewWindow() {
  if (window_) DestroyWindow(window_);
  if (keys_) DestroyAcceleratorTable(keys_);
}

Status PreviewWindow::Create(PreviewCommands commands) {
  commands_ = std::move(commands);
  HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = Procedure;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconA(instance, "IDI_APPICON");
  windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
  windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  windowClass.lpszClassName = kClassName;
  if (!RegisterClassA(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return kErrNativeWindow;
  keys_ = MakeKeys();
  RECT frame{0, 0, kWidth, kLeastHeight};
  const DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
  AdjustWindowRectEx(&frame, style, TRUE, 0);
  window_ = CreateWindowExA(0, kClassName, kTitle, style, CW_USEDEFAULT, CW_USEDEFAULT, frame.right - frame.left,
                            frame.bottom - frame.top, nullptr, MakeMenu(), instance, this);
  return window_ ? kOk : kErrNativeWindow;
}

void PreviewWindow::ShowBeside(HWND page) {
  RECT pageFrame, own, desk;
  GetWindowRect(window_, &own);
  if (page && GetWindowRect(page, &pageFrame)) {
    if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &desk, 0)) desk = {0, 0, GetSystemMetrics(SM_CXSCREEN), 0};
    const int width = own.right - own.left;
    const int height = std::max<int>(own.bottom - own.top, pageFrame.bottom - pageFrame.top);
    const int overflow = std::max<int>(0, pageFrame.right + kGap + width - desk.right);
    const int shift = std::min<int>(overflow, std::max<int>(0, pageFrame.left - desk.left));
    if (shift) SetWindowPos(page, nullptr, pageFrame.left - shift, pageFrame.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(window_, nullptr, pageFrame.right - shift + kGap, pageFrame.top, width, height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }
  ShowWindow(window_, SW_SHOWNOACTIVATE);
  UpdateWindow(window_);
}

void PreviewWindow::SetPages(const std::vector<std::string>& lines) {
  SendMessageA(pages_, WM_SETREDRAW, FALSE, 0);
  SendMessageA(pages_, LB_RESETCONTENT, 0, 0);
  for (const std::string& line : lines) SendMessageA(pages_, LB_ADDSTRING, 0, LPARAM(line.c_str()));
  SendMessageA(pages_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(pages_, nullptr, TRUE);
}

void PreviewWindow::SelectPage(int index) { SendMessageA(pages_, LB_SETCURSEL, WPARAM(index), 0); }

void PreviewWindow::Log(const std::string& line) {
  if (size_t(GetWindowTextLengthA(log_)) > kLogLimit) {
    const LRESULT half = SendMessageA(log_, EM_LINEFROMCHAR, kLogLimit / 2, 0);
    const LRESULT cut = SendMessageA(log_, EM_LINEINDEX, WPARAM(half + 1), 0);
    SendMessageA(log_, EM_SETSEL, 0, cut);
    SendMessageA(log_, EM_REPLACESEL, FALSE, LPARAM(""));
  }
  const int end = GetWindowTextLengthA(log_);
  SendMessageA(log_, EM_SETSEL, WPARAM(end), LPARAM(end));
  SendMessageA(log_, EM_REPLACESEL, FALSE, LPARAM((line + "\r\n").c_str()));
  SendMessageA(log_, EM_SCROLLCARET, 0, 0);
}

void PreviewWindow::ClearLog() { SetWindowTextA(log_, ""); }

bool PreviewWindow::Translate(MSG* message) {
  if (TranslateAcceleratorA(window_, keys_, message)) return true;
  // Tab and the arrows between and in the lists; only for this window's own controls.
  return (message->hwnd == window_ || IsChild(window_, message->hwnd)) && IsDialogMessageA(window_, message);
}

LRESULT CALLBACK PreviewWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<PreviewWindow*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
    self->window_ = window;
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<PreviewWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (!self) return DefWindowProcA(window, message, wParam, lParam);
  switch (message) {
    case WM_CREATE:
      self->OnCreate();
      return 0;
    case WM_SIZE:
      self->OnSize(LOWORD(lParam), HIWORD(lParam));
      return 0;
    case WM_COMMAND:
      self->OnCommand(LOWORD(wParam), HIWORD(wParam));
      return 0;
    case WM_GETMINMAXINFO: {
      auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
      info->ptMinTrackSize = {240, 240};
      return 0;
    }
    case WM_DESTROY:
      SetWindowLongPtrA(window, GWLP_USERDATA, 0);
      self->window_ = nullptr;
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

void PreviewWindow::OnCreate() {
  pagesLabel_ = MakeChild(window_, "STATIC", "&Pages of the file:", 0, 0xFFFF);
  pages_ = MakeChild(window_, "LISTBOX", "",
                     WS_TABSTOP | WS_BORDER | WS_VSCROLL | LBS_NOTIFY | LBS_USETABSTOPS | LBS_NOINTEGRALHEIGHT,
                     kPageList);
  const int tabStop = 72;  // dialog units: room for the page names before their titles
  SendMessageA(pages_, LB_SETTABSTOPS, 1, LPARAM(&tabStop));
  logLabel_ = MakeChild(window_, "STATIC", "&Log:", 0, 0xFFFF);
  log_ = MakeChild(window_, "EDIT", "",
                   WS_TABSTOP | WS_BORDER | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL |
                       ES_AUTOHSCROLL,
                   kLogBox);
  SendMessageA(log_, EM_SETLIMITTEXT, 0, 0);
}

void PreviewWindow::OnSize(int width, int height) {
  const int inner = std::max(width - 2 * kMargin, 10);
  const int listTop = kMargin + kLabelHeight;
  const int listHeight = std::max((height - 2 * kMargin - 2 * kLabelHeight - kGap) / 3, 40);
  const int logLabelTop = listTop + listHeight + kGap;
  const int logTop = logLabelTop + kLabelHeight;
  MoveWindow(pagesLabel_, kMargin, kMargin, inner, kLabelHeight - 2, TRUE);
  MoveWindow(pages_, kMargin, listTop, inner, listHeight, TRUE);
  MoveWindow(logLabel_, kMargin, logLabelTop, inner, kLabelHeight - 2, TRUE);
  MoveWindow(log_, kMargin, logTop, inner, std::max(height - kMargin - logTop, 20), TRUE);
}

void PreviewWindow::OnCommand(WORD id, WORD code) {
  switch (id) {
    case kOpen:
      if (commands_.open) commands_.open();
      return;
    case kReload:
      if (commands_.reload) commands_.reload();
      return;
    case kClearLog:
      ClearLog();
      return;
    case kExit:
      DestroyWindow(window_);
      return;
    case kPageList:
      if (code == LBN_SELCHANGE && commands_.choosePage)
        commands_.choosePage(int(SendMessageA(pages_, LB_GETCURSEL, 0, 0)));
      return;
  }
}
