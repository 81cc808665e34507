#include "app/walk_pages.h"

#include "runtime/text.h"

const WalkPage* FindWalkPage(const char* name) {
  if (!name) return nullptr;
  for (const WalkPage& page : kWalkPages)
    if (TextCompare(page.name, name) == 0) return &page;
  return nullptr;
}

const char* WalkNameKindWords(WalkNameKind kind) {
  switch (kind) {
    case WalkNameKind::kField: return "an editable TEXTBOX";
    case WalkNameKind::kText: return "a TEXTBOX";
    case WalkNameKind::kCheckBox: return "a check box (BUTTON KIND=CHECK)";
    case WalkNameKind::kPopup: return "a POPUP";
    case WalkNameKind::kButton: return "a BUTTON";
    case WalkNameKind::kFrame: return "a FRAME";
    case WalkNameKind::kControl: return "a displayed element";
    case WalkNameKind::kParameter: return "a PARAMETER";
  }
  return "an element";
}
