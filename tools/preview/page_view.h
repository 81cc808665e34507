// What the author sees in the page window: the page of the window and of every FRAME nested in it. The
// view is taken before the file is loaded again and given back afterwards, so that a reload keeps the
// author where he was; and a page chosen from the list is shown where the buyer would see it.
// Windows only.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "interface/interface.h"

// A page of a window's file: by NAME, or for a page without one by its place among the file's pages.
struct PageChoice {
  std::string name;
  int32_t index = -1;  // -1: no page shown
};

struct FrameView;
struct WindowView {
  PageChoice page;
  std::vector<FrameView> frames;
};
// A FRAME of the page and what its window shows. Frames are told apart by NAME, frames without one by
// their place among the page's frames.
struct FrameView {
  std::string name;
  int32_t ordinal;
  WindowView view;
};

WindowView CaptureView(InterfaceWindow* window);
// Shows the view's pages again where the file still has them (the window's and then, level by level,
// its frames'). Appends to `lost` the pages that are gone.
Status RestoreView(InterfaceWindow* window, const WindowView& view, std::vector<std::string>* lost);

// The window in which the buyer walks the pages: the window of the first FRAME of the top window's page
// that shows a page of the same file ("#intro"); the top window itself when its page has none.
InterfaceWindow* WalkWindow(InterfaceWindow* top);
// Where a page chosen from the list of the top window's file is shown: the top window for the file's
// first page (the page that holds the walk's frame), the walk window for the others.
InterfaceWindow* ChoiceWindow(InterfaceWindow* top, uint32_t pageIndex);
// Shows the page of that index of the top window's file in its choice window.
Status ShowChosenPage(InterfaceWindow* top, uint32_t pageIndex);
// The index among the top window's pages of the page the walk window shows (the top window's own when
// the walk window shows none); -1 when the top window shows no page.
int32_t WalkPageShown(InterfaceWindow* top);
