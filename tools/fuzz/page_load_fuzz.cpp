// Fuzz target: loading a page file and building its pages, everything short of the window. The input is
// a page file, optionally followed by kVariablesMark and window variables, one NAME=value a line (the
// process-wide ones are those the order program sets). The file is loaded as the window loads it; the
// answers are then compared with what a walk over the parsed tree, written here, finds:
// - the INTERFACE chosen, by no name and by the name of each one, and a refusal only for a file that
//   has no INTERFACE or no PAGE in it;
// - the page directory: the PAGEs below the INTERFACE that are not inside another PAGE, in document
//   order, found by index and by exact name;
// - the value readers on every attribute of every element, against readings of their rules written
//   here;
// - for nodes spread over the document: the next element of a tag, the enclosing element of a tag, the
//   inherited attributes and the alignment;
// - for each page, shown twice as the window shows it: parameters collected and substituted, the tree
//   still well formed, the elements that get records (known classes, none inside another), and the
//   styled text of its text boxes (the content walk, the runs, their white space and links).
// Nothing may be left behind: every value table made is freed again.
#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "interface/attribute_values.h"
#include "interface/document_tree.h"
#include "interface/markup_parser.h"
#include "interface/markup_writer.h"
#include "interface/node_walk.h"
#include "interface/page_elements.h"
#include "interface/page_file.h"
#include "interface/parameters.h"
#include "interface/text_flow.h"
#include "interface/text_style.h"
#include "interface/variables.h"
#include "runtime/encodings.h"
#include "runtime/text.h"

namespace {

constexpr std::string_view kVariablesMark{"\0VARIABLES\0", 11};
constexpr size_t kMostAskedNodes = 16;  // each tree question walks the tree
constexpr size_t kMostMatches = 12;
constexpr size_t kMostPages = 8;
constexpr size_t kMostTextBoxes = 4;  // of a page
constexpr size_t kCut = kPageNameSize - 1;  // names and titles are kept up to this many bytes
// The tags of the program's element classes.
constexpr const char* kElementClasses[] = {"BUTTON", "IMAGE", "IMG", "BORDER", "FRAME", "POPUP", "TEXTBOX"};

void Check(bool condition) {
  if (!condition) std::abort();
}

std::string Upper(std::string_view text) {
  std::string upper(text);
  for (char& c : upper)
    if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
  return upper;
}

// --- The tree as a walk finds it: every node in document order with its parent and the end of its
// subtree.

struct Place {
  MarkupNode* node;
  int parent;       // index, -1 at the top
  size_t end;       // one past the last node of its subtree
};

struct Tree {
  MarkupNode* top = nullptr;
  std::vector<Place> places;
  std::unordered_map<const MarkupNode*, size_t> index;

  explicit Tree(MarkupNode* document) : top(document) {
    std::vector<size_t> open;
    Check(WalkNodes(
              document,
              [&](MarkupNode* node, BlockStack<MarkupNode*>& parents) {
                Check(node->depth == parents.Size() + 1);
                Check(node->kind != kNodeEmptyElement || !node->children);
                index[node] = places.size();
                places.push_back({node, open.empty() ? -1 : int(open.back()), 0});
                open.push_back(places.size() - 1);
                return WalkStep::kDescend;
              },
              [&](MarkupNode*) {
                places[open.back()].end = places.size();
                open.pop_back();
              }) == kOk);
  }

  bool Tagged(size_t i, const char* upperTag) const {
    return is_plain_element(places[i].node) && std::strcmp(places[i].node->name, upperTag) == 0;
  }
  // The node itself, then its ancestors nearest first, while `visit` answers true.
  template <class Visit>
  void UpFrom(size_t i, Visit visit) const {
    for (int at = int(i); at >= 0; at = places[at].parent)
      if (!visit(size_t(at))) return;
  }
};

const char* Attribute(const MarkupNode* node, const char* name) { return element_attribute(node, name); }

// --- The value readers' rules.

int32_t Saturated(bool negative, std::string_view digits) {
  digits.remove_prefix(std::min(digits.find_first_not_of('0'), digits.size()));
  int64_t value = 0;  // no digits, or only zeros
  if (digits.size() > 10) value = int64_t(1) << 40;  // beyond any limit
  else if (!digits.empty()) std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (negative) value = -value;
  return int32_t(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

int32_t IntegerRule(std::string_view text) {
  const bool negative = !text.empty() && text[0] == '-';
  if (negative) text.remove_prefix(1);
  return Saturated(negative, text.substr(0, std::min(text.find_first_not_of("0123456789"), text.size())));
}

Rect RectangleRule(std::string_view text) {
  int32_t fields[4] = {};
  for (int field = 0; field < 4 && !text.empty(); ++field) {
    const size_t comma = std::min(text.find(','), text.size());
    std::string digits;
    bool negative = false;
    for (char c : text.substr(0, comma)) {
      if (c >= '0' && c <= '9') digits += c;
      else if (c == '-' && digits.find_first_not_of('0') == std::string::npos) negative = true;
    }
    fields[field] = Saturated(negative, digits);
    text.remove_prefix(std::min(comma + 1, text.size()));
  }
  return {fields[0], fields[1], fields[2], fields[3]};
}

bool ColourRule(std::string_view text, Colour* colour) {
  text.remove_prefix(std::min(text.find_first_not_of('#'), text.size()));
  if (text.size() != 3 && text.size() != 6) return false;
  auto digit = [](char c) {
    uint8_t value = 0;  // stays 0 for a character that is no hexadecimal digit
    std::from_chars(&c, &c + 1, value, 16);
    return value;
  };
  uint8_t channel[3];
  for (int i = 0; i < 3; ++i)
    channel[i] = text.size() == 3 ? uint8_t(digit(text[i]) * 0x11) : uint8_t(digit(text[2 * i]) << 4 | digit(text[2 * i + 1]));
  *colour = {255, channel[0], channel[1], channel[2]};
  return true;
}

void CheckValueReaders(const char* value) {
  const std::string_view text(value);
  Check(read_integer(value) == IntegerRule(text));
  Check(read_rectangle(value) == RectangleRule(text));
  Colour read{1, 2, 3, 4}, expected{1, 2, 3, 4};
  Check(read_colour(value, &read) == ColourRule(text, &expected) && read == expected);
  const std::string upper = Upper(text);
  Check(read_boolean(value) == (upper != "FALSE" && upper != "NONE"));
  Check(read_alignment(value) == (upper == "RIGHT" ? 1 : upper == "LEFT" ? -1 : 0));
}

void CheckEveryAttribute(const Tree& tree) {
  for (const Place& place : tree.places) {
    if (!IsElementKind(place.node->kind)) continue;
    for (const ValueEntry* entry = first_entry(place.node->attributes); entry; entry = entry->next)
      CheckValueReaders(entry->value());
  }
}

// --- The INTERFACE and the page directory.

// The INTERFACEs that a choice by name looks at: those not inside another one.
std::vector<size_t> OuterInterfaces(const Tree& tree) {
  std::vector<size_t> outer;
  for (size_t i = 0; i < tree.places.size(); ++i) {
    if (!tree.Tagged(i, "INTERFACE")) continue;
    bool inside = false;
    for (int at = tree.places[i].parent; at >= 0 && !inside; at = tree.places[at].parent)
      inside = tree.Tagged(size_t(at), "INTERFACE");
    if (!inside) outer.push_back(i);
  }
  return outer;
}

std::string CutName(const MarkupNode* node, const char* attribute) {
  const char* value = Attribute(node, attribute);
  return std::string(value ? value : "").substr(0, kCut);
}

void CheckInterfaceChoice(const Tree& tree, MarkupNode* chosen) {
  const std::vector<size_t> outer = OuterInterfaces(tree);
  Check(!outer.empty() && chosen == tree.places[outer[0]].node);
  Check(select_interface(tree.top, "") == chosen && select_interface(tree.top, nullptr) == chosen);
  for (size_t i : outer) {
    const std::string name = Upper(CutName(tree.places[i].node, "NAME"));
    if (!Attribute(tree.places[i].node, "NAME") || name.empty()) continue;
    MarkupNode* first = nullptr;
    for (size_t j : outer) {
      if (Attribute(tree.places[j].node, "NAME") && Upper(CutName(tree.places[j].node, "NAME")) == name) {
        first = tree.places[j].node;
        break;
      }
    }
    Check(select_interface(tree.top, name.c_str()) == first);
  }
}

std::vector<size_t> PagesBelow(const Tree& tree, size_t interfaceAt) {
  std::vector<size_t> pages;
  for (size_t i = interfaceAt + 1; i < tree.places[interfaceAt].end;) {
    if (tree.Tagged(i, "PAGE")) {
      pages.push_back(i);
      i = tree.places[i].end;
    } else {
      ++i;
    }
  }
  return pages;
}

void CheckDirectory(const Tree& tree, const PageFile& file) {
  const std::vector<size_t> pages = PagesBelow(tree, tree.index.at(file.interfaceElement));
  Check(file.directory.count == pages.size() && !pages.empty());
  for (size_t i = 0; i < pages.size(); ++i) {
    const PageRecord* record = page_by_index(&file.directory, int32_t(i));
    const MarkupNode* node = tree.places[pages[i]].node;
    Check(record && record->element == node && record->index == i);
    Check(record->name == CutName(node, "NAME") && record->title == CutName(node, "TITLE"));
  }
  Check(!page_by_index(&file.directory, -1) && !page_by_index(&file.directory, int32_t(pages.size())));
  // By name: the first page of exactly that name, letter case included.
  for (size_t i = 0; i < pages.size() && i < kMostPages; ++i) {
    const std::string name = CutName(tree.places[pages[i]].node, "NAME");
    for (const std::string& asked : {name, Upper(name), name + "x"}) {
      const PageRecord* expected = nullptr;
      for (size_t j = 0; j < pages.size() && !expected; ++j)
        if (CutName(tree.places[pages[j]].node, "NAME") == asked) expected = page_by_index(&file.directory, int32_t(j));
      Check(page_by_name(&file.directory, asked.c_str()) == expected);
    }
  }
}

// A file refused for want of an INTERFACE or a PAGE has no INTERFACE, or the first has no PAGE.
void CheckRefusal(MemoryHandle converted) {
  MarkupNode* document = nullptr;
  Check(parse_markup(converted, kRawContentTags, kAlwaysEmptyTags, nullptr, &document) == kOk);
  {
    const Tree tree(document);
    const std::vector<size_t> outer = OuterInterfaces(tree);
    Check(outer.empty() || PagesBelow(tree, outer[0]).empty());
  }
  free_node_list(document);
}

// --- Questions about nodes.

void CheckQuestions(const Tree& tree, size_t i) {
  MarkupNode* node = tree.places[i].node;
  std::vector<std::string> tags = {"PAGE", "CENTER"};
  if (is_plain_element(node)) tags.push_back(node->name);
  for (const std::string& tag : tags) {
    MarkupNode* enclosing = nullptr;
    tree.UpFrom(i, [&](size_t at) {
      if (tree.Tagged(at, tag.c_str())) enclosing = tree.places[at].node;
      return !enclosing;
    });
    Check(enclosing_element(tree.top, node, tag.c_str()) == enclosing);
    // The next element of the tag after the node, into its subtree or past it.
    for (const bool skip : {false, true}) {
      MarkupNode* next = nullptr;
      for (size_t j = skip ? tree.places[i].end : i + 1; j < tree.places.size() && !next; ++j)
        if (tree.Tagged(j, tag.c_str())) next = tree.places[j].node;
      Check(find_tagged_element(tree.top, node, tag.c_str(), skip) == next);
    }
  }

  std::vector<std::string> names = {"FACE", "ALIGN"};
  if (IsElementKind(node->kind))
    for (const ValueEntry* entry = first_entry(node->attributes); entry && names.size() < 4; entry = entry->next)
      names.push_back(entry->key);
  for (const std::string& name : names) {
    for (const char* tag : {static_cast<const char*>(nullptr), "FONT"}) {
      for (const bool inherit : {false, true}) {
        const char* expected = nullptr;
        tree.UpFrom(i, [&](size_t at) {
          if (!tag || tree.Tagged(at, tag)) expected = Attribute(tree.places[at].node, name.c_str());
          return !expected && inherit;
        });
        Check(inherited_attribute(tree.top, node, tag, name.c_str(), inherit) == expected);
      }
    }
  }

  // ALIGN of the node, else of its ancestors up to the nearest CENTER; a CENTER has its own only.
  const char* align = Attribute(node, "ALIGN");
  if (!align && !tree.Tagged(i, "CENTER")) {
    tree.UpFrom(i, [&](size_t at) {
      if (at == i) return true;
      align = Attribute(tree.places[at].node, "ALIGN");
      return !align && !tree.Tagged(at, "CENTER");
    });
  }
  int32_t alignment = 7;
  Check(element_alignment(tree.top, node, &alignment) == (align != nullptr));
  Check(alignment == (align ? read_alignment(align) : 0));
}

void CheckTagSearches(const Tree& tree, const std::string& tag) {
  MarkupNode* found = nullptr;
  size_t j = 0;
  for (size_t matches = 0; matches < kMostMatches; ++matches) {
    found = find_tagged_element(tree.top, found, tag.c_str(), false);
    while (j < tree.places.size() && !tree.Tagged(j, tag.c_str())) ++j;
    Check(found == (j < tree.places.size() ? tree.places[j++].node : nullptr));
    if (!found) return;
  }
}

// --- The text of a text box.

bool SameStyle(const RunStyle& a, const RunStyle& b) {
  return a.face == b.face && a.size == b.size && a.flags == b.flags && a.link == b.link &&
         (!(a.flags & kRunColoured) || a.colour == b.colour);
}

// Whether an INTERFACE lies between the element and the node inside it.
bool InterfaceBetween(const Tree& tree, size_t elementAt, size_t at) {
  for (int up = tree.places[at].parent; up > int(elementAt); up = tree.places[up].parent)
    if (tree.Tagged(size_t(up), "INTERFACE")) return true;
  return false;
}

// The content walk visits the nodes inside the element in document order, each with the style of text
// at its place. (An INTERFACE inside a text box starts the style afresh for a question about one node,
// but not in the walk, which carries the text box's style down: that case is left out.)
void CheckContentWalk(const Tree& tree, size_t elementAt) {
  ContentCursor cursor;
  Check(start_content_walk(&cursor, tree.top, tree.places[elementAt].node) == kOk);
  size_t at = elementAt + 1;
  for (;;) {
    ContentStep step;
    Check(next_content_node(&cursor, &step) == kOk);
    if (!step.node) break;
    Check(at < tree.places[elementAt].end && step.node == tree.places[at].node);
    if (at - elementAt <= 4 && !InterfaceBetween(tree, elementAt, at)) {
      RunStyle style;
      Check(text_style(tree.top, step.node, &style) == kOk && SameStyle(style, step.style));
    }
    ++at;
  }
  Check(at == tree.places[elementAt].end);
}

// The runs tile the text and none is empty; a line break is CR LF; outside PRE, text has single blanks
// for its white space and the line breaks come from block elements alone; each link run lies in the
// one link range of its target.
void CheckStyledText(MarkupNode* document, MarkupNode* element) {
  StyledText styled;
  Check(build_styled_text(document, element, &styled) == kOk);
  const std::string_view text(styled.Text(), styled.TextLength());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') Check(i + 1 < text.size() && text[i + 1] == '\n');
    if (text[i] == '\n') Check(i > 0 && text[i - 1] == '\r');
  }
  size_t at = 0;
  for (size_t r = 0; r < styled.RunCount(); ++r) {
    const TextRun& run = styled.Run(r);
    Check(run.offset == at && run.length > 0 && run.offset + run.length <= text.size());
    at += run.length;
    Check(!(run.style.flags & kRunLink) == !run.style.link);
    const std::string_view piece = text.substr(run.offset, run.length);
    if (run.style.flags & kRunPreformatted) continue;
    if (piece.find('\r') == std::string_view::npos)
      Check(piece.find('\t') == std::string_view::npos && piece.find("  ") == std::string_view::npos);
    else
      Check(piece == "\r\n" || piece == "\r\n\r\n" || piece == "\r\n\x95 ");
  }
  Check(at == text.size());

  std::vector<bool> linked(styled.RunCount());
  size_t next = 0;
  const char* before = nullptr;  // the target of the range that ended at `next`
  for (size_t l = 0; l < styled.LinkCount(); ++l) {
    const LinkRange& range = styled.Link(l);
    Check(range.runCount > 0 && range.firstRun >= next && range.firstRun + range.runCount <= styled.RunCount());
    const char* target = styled.Run(range.firstRun).style.link;
    Check(target != nullptr);
    // Touching ranges of one target would be one range.
    if (range.firstRun == next && before) Check(std::strcmp(before, target) != 0);
    for (uint32_t r = range.firstRun; r < range.firstRun + range.runCount; ++r) {
      const char* link = styled.Run(r).style.link;
      Check(link && std::strcmp(link, target) == 0);
      linked[r] = true;
    }
    next = range.firstRun + range.runCount;
    before = target;
  }
  for (size_t r = 0; r < styled.RunCount(); ++r) Check(linked[r] == ((styled.Run(r).style.flags & kRunLink) != 0));
}

// --- Building a page.

bool IsParameter(const MarkupNode* node) {
  return is_plain_element(node) && (std::strcmp(node->name, "PARAMETER") == 0 || std::strcmp(node->name, "PARAM") == 0);
}

void BuildPage(MarkupNode* document, MarkupNode* page, const ValueTable* variables) {
  ParameterList list;
  Check(collect_parameters(&list, page) == kOk);
  Check(substitute_parameters(&list, variables) == kOk);
  const Tree tree(document);  // also checks that the tree is still well formed
  const size_t pageAt = tree.index.at(page);
  size_t shown = 0;  // the list is in the order of substitution, up to the limit
  for (size_t k = 0; k < list.count; ++k) {
    const auto& item = list.items[k];
    const auto found = tree.index.find(item.element);
    Check(found != tree.index.end() && IsParameter(item.element));
    Check(found->second >= pageAt && found->second < tree.places[pageAt].end);
    const char* name = Attribute(item.element, "NAME");
    if (item.nesting <= kParameterNestingLimit && name && get_variable(variables, name) &&
        shown++ < kParameterSubstitutionLimit)
      Check(item.element->kind == kNodeElement);  // an empty one shows its value now
  }
  free_parameter_list(&list);

  // The elements that get records: known classes below the page, none inside another.
  std::vector<MarkupNode*> expected;
  for (size_t i = pageAt + 1; i < tree.places[pageAt].end;) {
    MarkupNode* node = tree.places[i].node;
    const bool known = is_plain_element(node) && std::any_of(std::begin(kElementClasses), std::end(kElementClasses),
                                                             [&](const char* tag) { return tree.Tagged(i, tag); });
    if (known) expected.push_back(node);
    i = known ? tree.places[i].end : i + 1;
  }
  std::vector<MarkupNode*> made;
  const Status status = walk_page_elements(
      page,
      [](const char* tag) {
        return std::any_of(std::begin(kElementClasses), std::end(kElementClasses),
                           [&](const char* known) { return std::strcmp(known, tag) == 0; });
      },
      [&](MarkupNode* node, bool) {
        // As the window makes a record: shortcut keys upper-cased in place, the rectangle read.
        if (const char* keys = element_attribute(node, "KEYS")) TextToUpper(const_cast<char*>(keys));
        const char* rect = element_attribute(node, "RECT");
        read_rectangle(rect ? rect : "");
        made.push_back(node);
        return kOk;
      });
  Check(status == kOk && made == expected);
  size_t boxes = 0;
  for (MarkupNode* node : made) {
    if (std::strcmp(node->name, "TEXTBOX") != 0 || ++boxes > kMostTextBoxes) continue;
    CheckContentWalk(tree, tree.index.at(node));
    CheckStyledText(document, node);
  }
}

// --- The input.

ValueTable* WindowVariables(std::string_view text) {
  ValueTable* variables = nullptr;
  while (!text.empty()) {
    const size_t end = std::min(text.find('\n'), text.size());
    const std::string line(text.substr(0, end));
    text.remove_prefix(std::min(end + 1, text.size()));
    const size_t equals = line.find('=');
    if (equals == std::string::npos) continue;
    const std::string name = line.substr(0, equals);
    const Status status = set_variable(&variables, name.c_str(), line.c_str() + equals + 1);
    Check(status == kOk || status == kErrState);  // a name outside letters, digits and '_'
  }
  return variables;
}

// The variables the order program sets at start-up, once for the process; the encoding tables too,
// which would otherwise be made on first use and count as tables left behind.
void SetProgramVariables() {
  static const bool set = [] {
    Check(EncodingTablesInit() == kOk);
    for (const auto& [name, value] : {std::pair{"TIER", "Skyward"}, {"PRODUCT", "Skyward"}, {"PLATFORM", "Windows"},
                                      {"PRICE", "30.00"}, {"UPGRADE", ""}, {"UPGRADE_PRICE", ""}})
      Check(set_variable(nullptr, name, value) == kOk);
    return true;
  }();
  (void)set;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  SetProgramVariables();
  const size_t tablesBefore = live_table_count();
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const size_t mark = std::min(input.find(kVariablesMark), input.size());
  ValueTable* variables = WindowVariables(input.substr(std::min(mark + kVariablesMark.size(), input.size())));

  UniqueHandle text(HandleNewFromData(data, mark));
  Check(text != nullptr);
  PageFile file;
  const Status status = load_page_file(text.get(), "", nullptr, &file);
  Check(status == kOk || status == kErrUnicodePage || status == kErrNoInterface);
  Check((status == kOk) == (file.document != nullptr));
  if (status == kErrNoInterface) CheckRefusal(text.get());

  if (status == kOk) {
    {
      const Tree tree(file.document);
      CheckInterfaceChoice(tree, file.interfaceElement);
      CheckDirectory(tree, file);
      CheckEveryAttribute(tree);
      const size_t step = std::max<size_t>(1, tree.places.size() / kMostAskedNodes);
      std::vector<std::string> tags;
      for (size_t i = 0; i < tree.places.size(); i += step) {
        CheckQuestions(tree, i);
        if (is_plain_element(tree.places[i].node)) tags.push_back(tree.places[i].node->name);
      }
      std::sort(tags.begin(), tags.end());
      tags.erase(std::unique(tags.begin(), tags.end()), tags.end());
      for (size_t i = 0; i < tags.size() && i < 6; ++i) CheckTagSearches(tree, tags[i]);
    }
    for (uint32_t i = 0; i < file.directory.count && i < kMostPages; ++i) {
      for (int shown = 0; shown < 2; ++shown) BuildPage(file.document, page_by_index(&file.directory, int32_t(i))->element, variables);
    }
    // What the pages became still writes out and reads back.
    UniqueHandle written(HandleNew(0));
    MarkupNode* again = nullptr;
    Check(write_markup(file.document, written.get()) == kOk);
    Check(parse_markup(written.get(), kRawContentTags, kAlwaysEmptyTags, nullptr, &again) == kOk);
    free_node_list(again);
    free_page_file(&file);
  }
  free_table(variables);
  Check(live_table_count() == tablesBefore);
  return 0;
}
