#include "tools/preview/page_view.h"

#include "interface/document_tree.h"
#include "runtime/text.h"

namespace {

struct Frame {
  const char* name;          // none when the FRAME has none
  const char* link;          // SOURCE, else SRC
  InterfaceWindow* window;   // the nested window, none when the frame could not make one
};

std::vector<Frame> FramesOf(InterfaceWindow* window) {
  std::vector<Frame> frames;
  const int32_t count = count_elements(window);
  for (int32_t index = 0; index < count; ++index) {
    const MarkupNode* node = element_node(window, index);
    if (!has_tag(node, "FRAME")) continue;
    const char* link = element_attribute(node, "SOURCE");
    intptr_t nested = 0;
    element_instance(window, index, &nested);
    frames.push_back({element_attribute(node, "NAME"), link ? link : element_attribute(node, "SRC"),
                      reinterpret_cast<InterfaceWindow*>(nested)});
  }
  return frames;
}

bool SameFrameName(const char* a, const std::string& b) {
  char upperA[256], upperB[256];
  return TextCompare(TextToUpperCopy(upperA, a ? a : "", sizeof upperA),
                     TextToUpperCopy(upperB, b.c_str(), sizeof upperB)) == 0;
}

const PageRecord* Resolve(InterfaceWindow* window, const PageChoice& choice) {
  if (!choice.name.empty()) return page_by_name(page_directory(window), choice.name.c_str());
  return page_by_index(page_directory(window), choice.index);
}

PageChoice ChoiceOf(const PageRecord* page) { return page ? PageChoice{page->name, int32_t(page->index)} : PageChoice{}; }

// The frame recorded for the FRAME of this name, or of this place among the unnamed ones.
const FrameView* Matching(const std::vector<FrameView>& frames, const Frame& frame, int32_t ordinal) {
  for (const FrameView& view : frames) {
    if (frame.name && *frame.name ? SameFrameName(frame.name, view.name) : view.name.empty() && view.ordinal == ordinal)
      return &view;
  }
  return nullptr;
}

}  // namespace

WindowView CaptureView(InterfaceWindow* window) {
  WindowView view;
  if (!is_interface_open(window)) return view;
  view.page = ChoiceOf(current_page(window));
  int32_t ordinal = 0;
  for (const Frame& frame : FramesOf(window)) {
    if (frame.window) view.frames.push_back({frame.name ? frame.name : "", ordinal, CaptureView(frame.window)});
    ++ordinal;
  }
  return view;
}

Status RestoreView(InterfaceWindow* window, const WindowView& view, std::vector<std::string>* lost) {
  if (view.page.index < 0) return kOk;
  const PageRecord* shown = current_page(window);
  const PageRecord* wanted = Resolve(window, view.page);
  if (!wanted) {
    lost->push_back(view.page.name.empty() ? "page " + std::to_string(view.page.index + 1) : view.page.name);
    return kOk;
  }
  if (wanted != shown) {
    const Status status = show_page(window, wanted);
    if (status != kOk) return status;
  }
  int32_t ordinal = 0;
  for (const Frame& frame : FramesOf(window)) {
    const FrameView* recorded = Matching(view.frames, frame, ordinal++);
    if (!recorded || !frame.window) continue;
    const Status status = RestoreView(frame.window, recorded->view, lost);
    if (status != kOk) return status;
  }
  return kOk;
}

InterfaceWindow* WalkWindow(InterfaceWindow* top) {
  for (const Frame& frame : FramesOf(top))
    if (frame.window && frame.link && frame.link[0] == '#') return frame.window;
  return top;
}

InterfaceWindow* ChoiceWindow(InterfaceWindow* top, uint32_t pageIndex) {
  return pageIndex == 0 ? top : WalkWindow(top);
}

Status ShowChosenPage(InterfaceWindow* top, uint32_t pageIndex) {
  const PageRecord* page = page_by_index(page_directory(top), int32_t(pageIndex));
  if (!page) return kErrArgument;
  InterfaceWindow* window = ChoiceWindow(top, pageIndex);
  // The frame's window has a directory of its own, read from the same file.
  const PageRecord* there = window == top ? page : Resolve(window, ChoiceOf(page));
  return there ? show_page(window, there) : kErrNotFound;
}

int32_t WalkPageShown(InterfaceWindow* top) {
  const PageRecord* topPage = current_page(top);
  if (!topPage) return -1;
  InterfaceWindow* window = WalkWindow(top);
  const PageRecord* shown = window == top ? nullptr : current_page(window);
  const PageRecord* mine = shown ? Resolve(top, ChoiceOf(shown)) : nullptr;
  return int32_t((mine ? mine : topPage)->index);
}
