// The links of a display box: the list, where each lies on the page, the hand cursor over them, and
// following one that is pressed and released.
#include <richedit.h>

#include <memory>
#include <type_traits>

#include "interface/controls/press_tracking.h"
#include "interface/controls/textbox.h"
#include "interface/element_support.h"
#include "runtime/text.h"

namespace {

constexpr int32_t kLeftMargin = 2;  // a link's area reaches this far left of its first letter

TextLink* Links(const TextBox* box) { return reinterpret_cast<TextLink*>(HandleData(box->links)); }

// Where a character of the control lies, in the control's client area.
POINT CharacterPosition(HWND control, int32_t position) {
  POINTL point{};
  SendMessageA(control, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&point), position);
  return {point.x, point.y};
}

int32_t LineOf(HWND control, int32_t position) {
  return int32_t(SendMessageA(control, EM_EXLINEFROMCHAR, 0, position));
}

// The top of a line, and of the line after it (its bottom); the box's bottom when there is no next line.
void LineSpan(HWND control, int32_t line, int32_t boxHeight, int32_t* top, int32_t* bottom) {
  *top = CharacterPosition(control, int32_t(SendMessageA(control, EM_LINEINDEX, line, 0))).y;
  const LRESULT next = SendMessageA(control, EM_LINEINDEX, line + 1, 0);
  *bottom = next < 0 ? boxHeight : CharacterPosition(control, int32_t(next)).y;
  if (*bottom <= *top) *bottom = boxHeight;
}

// The area of a link: the part of its first line from its start, the whole lines in between, and the
// part of its last line up to its end - at most three rectangles, in window coordinates, kept inside
// the box.
HRGN LinkArea(const TextBox* box, const TextLink& link) {
  const HWND control = box->control;
  const int32_t width = box->rect.right - box->rect.left;
  const int32_t height = box->rect.bottom - box->rect.top;
  const int32_t last = link.start + link.length - 1;
  const int32_t firstLine = LineOf(control, link.start);
  const int32_t lastLine = LineOf(control, last);
  int32_t firstTop, firstBottom, lastTop, lastBottom;
  LineSpan(control, firstLine, height, &firstTop, &firstBottom);
  LineSpan(control, lastLine, height, &lastTop, &lastBottom);
  const int32_t startX = CharacterPosition(control, link.start).x;
  // The link ends where the character after it begins, when that is still on the link's last line.
  int32_t endX = width;
  if (LineOf(control, last + 1) == lastLine) endX = CharacterPosition(control, last + 1).x;

  RECT rects[3];
  int count = 0;
  if (firstLine == lastLine) {
    rects[count++] = {startX - kLeftMargin, firstTop, endX, firstBottom};
  } else {
    rects[count++] = {startX - kLeftMargin, firstTop, width, firstBottom};
    if (lastTop > firstBottom) rects[count++] = {-kLeftMargin, firstBottom, width, lastTop};
    rects[count++] = {-kLeftMargin, lastTop, endX, lastBottom};
  }
  HRGN area = CreateRectRgn(0, 0, 0, 0);
  if (!area) return nullptr;
  for (int i = 0; i < count; ++i) {
    RECT r = rects[i];
    if (r.left < 0) r.left = 0;
    if (r.right > width) r.right = width;
    if (r.bottom > height) r.bottom = height;
    if (r.left >= r.right || r.top >= r.bottom) continue;
    HRGN part = CreateRectRgn(box->rect.left + r.left, box->rect.top + r.top, box->rect.left + r.right,
                              box->rect.top + r.bottom);
    if (part) {
      CombineRgn(area, area, part, RGN_OR);
      DeleteObject(part);
    }
  }
  return area;
}

struct RegionDeleter {
  void operator()(HRGN region) const { DeleteObject(region); }
};
using UniqueRegion = std::unique_ptr<std::remove_pointer_t<HRGN>, RegionDeleter>;

// A link being pressed, for the shared press tracking: its area is shown inverted while pressed.
struct LinkPress {
  HDC dc;
  HRGN area;
  bool inverted;

  static bool Contains(void* context, Point point) {
    return PtInRegion(static_cast<LinkPress*>(context)->area, point.x, point.y) != 0;
  }
  static Status Show(void* context, bool pressed) {
    auto* press = static_cast<LinkPress*>(context);
    if (pressed == press->inverted) return kOk;
    if (!InvertRgn(press->dc, press->area)) return kErrMemory;
    press->inverted = pressed;
    return kOk;
  }
  static Status Notify(void*, int32_t event) { return notify(event); }
};

}  // namespace

Status textbox_add_link(TextBox* box, int32_t start, int32_t length, const char* target) {
  if (!box->links && !(box->links = HandleNew(0))) return kErrMemory;
  TextLink link{start, length, TextDuplicate(target ? target : "")};
  if (!link.target) return kErrMemory;
  if (Status status = HandleAppendData(box->links, &link, sizeof link); status != kOk) {
    BlockDispose(link.target);
    return status;
  }
  return kOk;
}

void textbox_free_links(TextBox* box) {
  if (!box->links) return;
  for (size_t i = 0; i < textbox_link_count(box); ++i) BlockDispose(Links(box)[i].target);
  HandleDispose(box->links);
  box->links = nullptr;
}

size_t textbox_link_count(const TextBox* box) {
  return box->links ? HandleGetSize(box->links) / sizeof(TextLink) : 0;
}

int32_t textbox_link_at(const TextBox* box, Point point) {
  if (!box->control) return -1;
  for (size_t i = 0; i < textbox_link_count(box); ++i) {
    UniqueRegion area(LinkArea(box, Links(box)[i]));
    if (area && PtInRegion(area.get(), point.x, point.y)) return int32_t(i);
  }
  return -1;
}

Status textbox_press(const ElementContext& context, TextBox* box, const MouseEvent& event, InputResult* result) {
  const int32_t index = textbox_link_at(box, event.point);
  if (index < 0) return kOk;
  UniqueRegion area(LinkArea(box, Links(box)[index]));
  if (!area) return kErrMemory;
  // Messages run while the press lasts, so nothing of the box is used after it.
  char target[kInputLinkSize];
  TextCopyBounded(target, Links(box)[index].target, sizeof target);
  LinkPress press{context.windowDc, area.get(), false};
  const PressTarget pressTarget{&press, LinkPress::Contains, LinkPress::Show, LinkPress::Notify};
  bool triggered = false;
  const Status status = track_press(context.window, event.button, pressTarget, &triggered);
  if (status == kOk && triggered) input_take(result, target);
  return status;
}
