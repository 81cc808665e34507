#include "interface/text_style.h"

#include <cstring>

#include "interface/attribute_values.h"
#include "interface/document_tree.h"
#include "interface/node_walk.h"

namespace {

bool IsPlainElement(const MarkupNode* node) {
  return node->kind == kNodeElement || node->kind == kNodeEmptyElement;
}

bool IsTag(const MarkupNode* node, const char* tag) { return std::strcmp(node->name, tag) == 0; }

struct TagFlag {
  const char* tag;
  uint32_t flag;
};

constexpr TagFlag kEmphasisTags[] = {
    {"B", kRunBold},      {"STRONG", kRunBold},     {"I", kRunItalic},         {"EM", kRunItalic},
    {"U", kRunUnderline}, {"TT", kRunTeletype},     {"PRE", kRunPreformatted},
};

}  // namespace

RunStyle style_inside(const RunStyle& outer, const MarkupNode* element) {
  RunStyle style = outer;
  if (!IsPlainElement(element)) return style;
  if (const char* face = element_attribute(element, "FACE")) style.face = face;
  if (const char* size = element_attribute(element, "SIZE")) style.size = read_integer(size);
  // A FGCOLOR that is no colour ("#12345") is passed over rather than painting the text in the
  // all-bits "no colour" value, which would be white.
  Colour colour;
  if (const char* text = element_attribute(element, "FGCOLOR"); text && read_colour(text, &colour)) {
    style.colour = colour;
    style.flags |= kRunColoured;
  }
  for (const TagFlag& emphasis : kEmphasisTags)
    if (IsTag(element, emphasis.tag)) style.flags |= emphasis.flag;
  if (IsTag(element, "A")) {
    if (const char* link = element_attribute(element, "HREF")) {
      style.link = link;
      style.flags |= kRunLink;
    }
  }
  return style;
}

Status text_style(MarkupNode* tree, const MarkupNode* node, RunStyle* style) {
  *style = RunStyle{};
  Status status = kErrNotFound;
  Status walked = WalkNodes(tree, [&](MarkupNode* candidate, BlockStack<MarkupNode*>& parents) {
    if (candidate != node) return WalkStep::kDescend;
    // Only the elements from the nearest enclosing INTERFACE down count.
    size_t first = 0;
    for (size_t i = parents.Size(); i > 0; --i) {
      if (IsPlainElement(parents[i - 1]) && IsTag(parents[i - 1], "INTERFACE")) {
        first = i - 1;
        break;
      }
    }
    for (size_t i = first; i < parents.Size(); ++i) *style = style_inside(*style, parents[i]);
    status = kOk;
    return WalkStep::kStop;
  });
  return walked != kOk ? walked : status;
}

RunFormat run_format(const RunStyle& style, int32_t pixelsPerInch, const Colour& textColour,
                     const Colour& linkColour) {
  int32_t size = style.size <= 0 ? kDefaultRunSize : style.size;
  if (size > kLargestRunSize) size = kLargestRunSize;
  if (pixelsPerInch <= 0) pixelsPerInch = 96;

  RunFormat format{};
  format.bold = (style.flags & kRunBold) != 0;
  format.italic = (style.flags & kRunItalic) != 0;
  format.underline = (style.flags & kRunUnderline) != 0;
  format.fixedPitch = (style.flags & (kRunTeletype | kRunPreformatted)) != 0;
  format.twips = size * 1440 / pixelsPerInch;
  format.colour = (style.flags & kRunColoured) ? style.colour : textColour;
  if (style.flags & kRunLink) {
    format.colour = linkColour;
    format.underline = true;
  }
  format.fontHeight = style.size <= 0 ? 0 : -size;
  format.fontWeight = format.bold ? 700 : 400;
  return format;
}
