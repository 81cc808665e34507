#include "tests/interface/element_host.h"

#include <cstdio>
#include <cstring>

#include "interface/attribute_values.h"
#include "interface/document_tree.h"
#include "interface/element_support.h"
#include "interface/markup_parser.h"
#include "runtime/text.h"

ElementHost* ElementHost::running = nullptr;

namespace {

const char kWindowClass[] = "element_host_window";

}  // namespace

ElementHost::ElementHost() {
  static const ATOM registered = [] {
    WNDCLASSA description = {};
    description.lpfnWndProc = WindowProcedure;
    description.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
    description.lpszClassName = kWindowClass;
    return RegisterClassA(&description);
  }();
  (void)registered;
  window_ = CreateWindowExA(0, kWindowClass, "element host", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, kWidth,
                            kHeight, nullptr, nullptr, GetModuleHandleA(nullptr), this);
  SetWindowLongPtrA(window_, GWLP_USERDATA, LONG_PTR(this));
  windowDc_ = GetDC(window_);
  BITMAPINFO info = {};
  info.bmiHeader = {sizeof info.bmiHeader, kWidth, -kHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  bufferDc_ = CreateCompatibleDC(windowDc_);
  buffer_ = CreateDIBSection(bufferDc_, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
  previous_ = SelectObject(bufferDc_, buffer_);
  // The window's colours, as the engine selects them for every handler call.
  for (HDC dc : {bufferDc_, windowDc_}) {
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkColor(dc, RGB(255, 255, 255));
  }
  running = this;
}

ElementHost::~ElementHost() {
  for (size_t i = elements_.size(); i-- > 0;) {
    Send(i, kMessageUnrealise);
    Send(i, kMessageDestroy);
    HandleDispose(elements_[i].instance);
  }
  free_node_list(tree);
  for (auto& picture : pictures_) PixmapDispose(picture.second);
  SelectObject(bufferDc_, previous_);
  DeleteObject(buffer_);
  DeleteDC(bufferDc_);
  ReleaseDC(window_, windowDc_);
  DestroyWindow(window_);
  running = nullptr;
}

void ElementHost::AddPicture(const char* name, Pixmap* pixmap) { pictures_.emplace_back(name, pixmap); }

Status ElementHost::Open(const char* page, const std::vector<std::pair<const char*, ElementHandler>>& classes) {
  std::vector<char> text(page, page + std::strlen(page));
  Status status = parse_markup_bytes(text.data(), text.size(), kRawContentTags, kAlwaysEmptyTags, nullptr, &tree);
  if (status != kOk) return status;
  for (MarkupNode* node = tree; node; node = next_in_document_order(tree, node)) {
    if (!IsElementKind(node->kind) || !node->name) continue;
    for (auto& [tag, handler] : classes) {
      if (TextCompare(node->name, tag) != 0) continue;
      const char* name = element_attribute(node, "NAME");
      elements_.push_back(HostedElement{node, handler, HandleNew(0), name ? name : ""});
    }
  }
  MemoryHandle focusList = HandleNew(0);
  for (size_t i = 0; i < elements_.size() && status == kOk; ++i) {
    const MarkupNode* node = elements_[i].node;
    const char* rect = element_attribute(node, "RECT");
    const Rect bounds = read_rectangle(rect ? rect : "");
    const char* title = element_attribute(node, "TITLE");
    status = Send(i, kMessageCreate);
    if (status == kOk) status = Send(i, kMessageSetRect, intptr_t(&bounds));
    if (status == kOk) status = Send(i, kMessageSetTitle, intptr_t(title ? title : ""));
    if (status == kOk) status = Send(i, kMessageActivate);
    if (status == kOk) status = Send(i, kMessageRealise);
    if (status == kOk) status = Send(i, kMessageCollectFocusable, intptr_t(focusList));
  }
  HandleDispose(focusList);
  return status == kOk ? Redraw() : status;
}

Status ElementHost::Send(size_t index, int32_t message, intptr_t parameter, void* out) {
  HostedElement& element = elements_[index];
  if (!element.visible && message >= 16 && message <= 50) return kOk;
  HostedElement* previous = runningElement;
  runningElement = &element;
  const HDC dc = message == kMessageDraw ? bufferDc_ : windowDc_;
  Status status = element.handler(ContextOf(element, dc), message, parameter, out);
  if (message != kMessageDestroy && message != kMessageOwnsControl && message != kMessageHitTest &&
      message != kMessageGetVisible) {
    bool visible = true;
    if (element.handler(ContextOf(element, dc), kMessageGetVisible, 0, &visible) == kOk) element.visible = visible;
  }
  runningElement = previous;
  return status;
}

size_t ElementHost::Find(const char* name) const {
  for (size_t i = 0; i < elements_.size(); ++i)
    if (elements_[i].name == name) return i;
  return SIZE_MAX;
}

ElementContext ElementHost::ContextOf(HostedElement& element, HDC dc) {
  return ElementContext{window_, dc, windowDc_, element.node, element.instance};
}

Status ElementHost::Redraw() {
  PatBlt(bufferDc_, 0, 0, kWidth, kHeight, WHITENESS);
  Status status = kOk;
  for (size_t i = 0; i < elements_.size() && status == kOk; ++i) status = Send(i, kMessageDraw);
  BitBlt(windowDc_, 0, 0, kWidth, kHeight, bufferDc_, 0, 0, SRCCOPY);
  GdiFlush();
  return status;
}

COLORREF ElementHost::Pixel(int x, int y) const {
  GdiFlush();
  const uint32_t value = bits_[y * kWidth + x];
  return RGB((value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF);
}

bool ElementHost::SaveBitmap(const std::string& path) const {
  GdiFlush();
  const uint32_t rowBytes = kWidth * 3, imageBytes = rowBytes * kHeight;
  BITMAPFILEHEADER file = {};
  BITMAPINFOHEADER header = {sizeof header, kWidth, kHeight, 1, 24, BI_RGB, imageBytes, 0, 0, 0, 0};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof file + sizeof header;
  file.bfSize = file.bfOffBits + imageBytes;
  FILE* out = std::fopen(path.c_str(), "wb");
  if (!out) return false;
  bool written = std::fwrite(&file, sizeof file, 1, out) == 1 && std::fwrite(&header, sizeof header, 1, out) == 1;
  std::vector<uint8_t> row(rowBytes);
  for (int y = kHeight - 1; y >= 0 && written; --y) {
    for (int x = 0; x < kWidth; ++x) std::memcpy(&row[size_t(x) * 3], &bits_[y * kWidth + x], 3);
    written = std::fwrite(row.data(), rowBytes, 1, out) == 1;
  }
  return std::fclose(out) == 0 && written;
}

Status ElementHost::LookUpPicture(const char* name, Pixmap** pixmap) const {
  *pixmap = nullptr;
  for (auto& picture : pictures_)
    if (picture.first == name) *pixmap = picture.second;
  return kOk;
}

Status ElementHost::NotifyRunning(int32_t event) {
  events.push_back(Event{event, runningElement ? runningElement->name : ""});
  return eventAnswer;
}

void ElementHost::OnPress(const MouseEvent& press) {
  for (size_t i = elements_.size(); i-- > 0;) {
    bool inside = false;
    if (!elements_[i].visible || Send(i, kMessageHitTest, intptr_t(&press.point), &inside) != kOk || !inside) continue;
    InputResult result = {};
    Send(i, kMessageMouseDown, intptr_t(&press), &result);
    if (result.taken) events.push_back(Event{kEventActivated, elements_[i].name});
    return;
  }
}

LRESULT CALLBACK ElementHost::WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* host = reinterpret_cast<ElementHost*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (host) {
    switch (message) {
      case WM_LBUTTONDOWN:
      case WM_RBUTTONDOWN: {
        MouseEvent press{Point{short(LOWORD(lParam)), short(HIWORD(lParam))}, message,
                         message == WM_LBUTTONDOWN ? kLeftButton : kRightButton, 0};
        host->OnPress(press);
        return 0;
      }
      case WM_COMMAND: {
        const HWND control = reinterpret_cast<HWND>(lParam);
        host->commands.emplace_back(control, HIWORD(wParam));
        for (size_t i = 0; i < host->elements_.size(); ++i) {
          bool owns = false;
          host->Send(i, kMessageOwnsControl, intptr_t(control), &owns);
          if (owns && (HIWORD(wParam) == 0 || HIWORD(wParam) == 1))
            host->events.push_back(Event{kEventActivated, host->elements_[i].name});
        }
        return 0;
      }
      case WM_PAINT: {
        PAINTSTRUCT paint;
        BeginPaint(window, &paint);
        BitBlt(paint.hdc, 0, 0, kWidth, kHeight, host->bufferDc_, 0, 0, SRCCOPY);
        EndPaint(window, &paint);
        return 0;
      }
    }
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

// --- The helpers of interface/element_support.h, answered for the running element

namespace {

ElementHost& Host() { return *ElementHost::running; }
const MarkupNode* Node() { return Host().runningElement->node; }

}  // namespace

InterfaceWindow* running_window() { return nullptr; }
Element* running_element() { return reinterpret_cast<Element*>(Host().runningElement); }
const char* running_attribute(const char* name) { return element_attribute(Node(), name); }
const char* running_inherited_attribute(const char* name) {
  return inherited_attribute(Host().tree, Node(), nullptr, name, true);
}
const char* running_enclosing_attribute(const char* tag, const char* name) {
  MarkupNode* element = enclosing_element(Host().tree, Node(), tag);
  return element ? element_attribute(element, name) : nullptr;
}
const char* running_tag() { return Node()->name; }
bool running_alignment(int32_t* alignment) { return element_alignment(Host().tree, Node(), alignment); }

bool running_integer(const char* name, int32_t* value) {
  const char* text = running_attribute(name);
  if (text) *value = read_integer(text);
  return text != nullptr;
}
bool running_rectangle(const char* name, Rect* rect) {
  const char* text = running_attribute(name);
  if (text) *rect = read_rectangle(text);
  return text != nullptr;
}
bool running_colour(const char* name, Colour* colour) {
  const char* text = running_attribute(name);
  return text && read_colour(text, colour);
}
bool running_boolean(const char* name, bool* value) {
  const char* text = running_attribute(name);
  if (text) *value = read_boolean(text);
  return text != nullptr;
}

Status element_image(const char* file, ElementImage* image) {
  *image = ElementImage{};
  Status status = Host().LookUpPicture(file, &image->pixmap);
  if (image->pixmap) {
    image->width = PixmapWidth(image->pixmap);
    image->height = PixmapHeight(image->pixmap);
  }
  return status;
}

Status notify(int32_t event) { return Host().NotifyRunning(event); }
bool interface_accepts_input() { return Host().acceptsInput; }
void input_take(InputResult* result, const char* link) {
  result->taken = true;
  TextCopyBounded(result->link, link ? link : "", sizeof result->link);
}
Status focus_leave_running_element() { return kOk; }
Status redraw_running_element() { return Host().RedrawRunning(); }

Status text_buffer_append(MemoryHandle buffer, const char* text, size_t length) {
  size_t size = HandleGetSize(buffer);
  if (size > 0) --size;  // over the NUL
  Status status = HandleSetSize(buffer, size + length + 1);
  if (status != kOk) return status;
  std::memcpy(HandleData(buffer) + size, text, length);
  HandleData(buffer)[size + length] = 0;
  return kOk;
}
Status text_buffer_append(MemoryHandle buffer, const char* text) { return text_buffer_append(buffer, text, TextLength(text)); }
const char* text_buffer_text(MemoryHandle buffer) {
  return buffer && HandleGetSize(buffer) > 0 ? reinterpret_cast<const char*>(HandleData(buffer)) : "";
}
size_t text_buffer_length(MemoryHandle buffer) { return TextLength(text_buffer_text(buffer)); }
Status focus_list_append(MemoryHandle list, HWND control) { return HandleAppendData(list, &control, sizeof control); }
