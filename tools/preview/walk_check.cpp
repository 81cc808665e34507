#include "tools/preview/walk_check.h"

#include "app/walk_pages.h"
#include "interface/attribute_values.h"
#include "interface/document_tree.h"
#include "interface/node_walk.h"
#include "runtime/text.h"

namespace {

// Names of controls and variables are matched without regard to letter case, as the engine does.
bool SameName(const char* a, const char* b) {
  for (; *a && *b; ++a, ++b)
    if (AsciiUpper(uint8_t(*a)) != AsciiUpper(uint8_t(*b))) return false;
  return *a == *b;
}

bool IsParameter(const MarkupNode* node) { return has_tag(node, "PARAMETER") || has_tag(node, "PARAM"); }

// What the engine would make of a page: its displayed elements (nothing inside them is one) and the
// PARAMETER elements anywhere in it.
struct PageContents {
  std::vector<const MarkupNode*> elements;
  std::vector<const MarkupNode*> parameters;
};

PageContents ContentsOf(const PageRecord& page, std::span<const char* const> classTags) {
  PageContents contents;
  auto displayed = [&](const MarkupNode* node) {
    for (const char* tag : classTags)
      if (has_tag(node, tag)) return true;
    return false;
  };
  WalkNodes(page.element->children, [&](MarkupNode* node, BlockStack<MarkupNode*>&) {
    if (!is_plain_element(node) || !displayed(node)) return WalkStep::kDescend;
    contents.elements.push_back(node);
    return WalkStep::kSkipChildren;
  });
  WalkNodes(page.element->children, [&](MarkupNode* node, BlockStack<MarkupNode*>&) {
    if (is_plain_element(node) && IsParameter(node)) contents.parameters.push_back(node);
    return WalkStep::kDescend;
  });
  return contents;
}

bool IsKind(const MarkupNode* node, WalkNameKind kind) {
  switch (kind) {
    case WalkNameKind::kField: {
      const char* editable = element_attribute(node, "EDITABLE");
      return has_tag(node, "TEXTBOX") && editable && read_boolean(editable);
    }
    case WalkNameKind::kText: return has_tag(node, "TEXTBOX");
    case WalkNameKind::kCheckBox: {
      const char* buttonKind = element_attribute(node, "KIND");
      return has_tag(node, "BUTTON") && buttonKind && (SameName(buttonKind, "CHECK") || SameName(buttonKind, "CHECKBOX"));
    }
    case WalkNameKind::kPopup: return has_tag(node, "POPUP");
    // Pictures answer clicks like buttons: one class serves them all.
    case WalkNameKind::kButton: return has_tag(node, "BUTTON") || has_tag(node, "IMAGE") || has_tag(node, "IMG");
    case WalkNameKind::kFrame: return has_tag(node, "FRAME");
    case WalkNameKind::kControl:
    case WalkNameKind::kParameter: return true;
  }
  return false;
}

const char* FrameLink(const MarkupNode* frame) {
  const char* link = element_attribute(frame, "SOURCE");
  return link ? link : element_attribute(frame, "SRC");
}

class PageChecker {
 public:
  PageChecker(const PageRecord& page, std::span<const char* const> classTags, std::vector<WalkFinding>* findings)
      : page_(page), contents_(ContentsOf(page, classTags)), findings_(findings) {}

  void Check(const WalkPage& walk) {
    const size_t before = findings_->size();
    bool framesFound = true;
    for (std::span<const WalkName> group : walk.names)
      for (const WalkName& name : group)
        if (!CheckName(name) && name.kind == WalkNameKind::kFrame) framesFound = false;
    // A missing frame has been reported; what it should show goes without saying.
    if (walk.framedPage && framesFound) CheckFrame(walk.framedPage);
    if (findings_->size() == before) Add("has every name the order program needs", false);
  }

 private:
  // False when the name is missing or of the wrong kind.
  bool CheckName(const WalkName& wanted) {
    const bool parameter = wanted.kind == WalkNameKind::kParameter;
    std::vector<const MarkupNode*> found;
    for (const MarkupNode* node : parameter ? contents_.parameters : contents_.elements) {
      const char* name = element_attribute(node, "NAME");
      if (name && SameName(name, wanted.name)) found.push_back(node);
    }
    const std::string words = WalkNameKindWords(wanted.kind);
    if (found.empty()) {
      Add(std::string(wanted.name) + " is missing (" + words + ")", true);
      return false;
    }
    if (!IsKind(found[0], wanted.kind)) {
      Add(std::string(wanted.name) + " is a " + found[0]->name + ", the order program needs " + words, true);
      return false;
    }
    // A variable may be shown twice; a control is found by its first element only.
    if (found.size() > 1 && !parameter)
      Add(std::string(wanted.name) + " is there " + std::to_string(found.size()) +
              " times; the order program uses the first", true);
    return true;
  }

  void CheckFrame(const char* framedPage) {
    const std::string link = std::string("#") + framedPage;
    for (const MarkupNode* node : contents_.elements) {
      const char* shown = has_tag(node, "FRAME") ? FrameLink(node) : nullptr;
      if (shown && link == shown) return;
    }
    Add(std::string("no FRAME shows the page ") + framedPage + " (SRC=\"" + link + "\")", true);
  }

  void Add(std::string text, bool problem) { findings_->push_back({page_.name, std::move(text), problem}); }

  const PageRecord& page_;
  PageContents contents_;
  std::vector<WalkFinding>* findings_;
};

}  // namespace

std::vector<WalkFinding> CheckWalkPages(const PageDirectory& directory, std::span<const char* const> classTags) {
  std::vector<WalkFinding> findings;
  std::string absent;
  for (const WalkPage& walk : kWalkPages) {
    const PageRecord* page = page_by_name(&directory, walk.name);
    if (page) {
      PageChecker(*page, classTags, &findings).Check(walk);
    } else {
      absent += absent.empty() ? walk.name : std::string(", ") + walk.name;
    }
  }
  if (!absent.empty()) findings.push_back({"", "pages of the order walk not in this file: " + absent, true});
  return findings;
}
