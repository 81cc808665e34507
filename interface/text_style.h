// The style of a piece of text in a page: face, size, colour, emphasis and link, taken from the
// elements around it, and the character format that style asks of a text control. Pure: no system
// calls (the face list is resolved against a device by the text box, which has one).
#pragma once

#include <cstdint>

#include "graphics/graphics_types.h"
#include "interface/markup_node.h"
#include "runtime/status.h"

enum RunFlags : uint32_t {
  kRunBold = 1,           // inside B or STRONG
  kRunItalic = 2,         // inside I or EM
  kRunUnderline = 4,      // inside U
  kRunTeletype = 8,       // inside TT
  kRunPreformatted = 16,  // inside PRE
  kRunLink = 32,          // inside an A that has HREF
  kRunColoured = 64,      // an enclosing element has a FGCOLOR that reads as a colour
};

// Sizes are pixels; 0 means the default.
constexpr int32_t kDefaultRunSize = 12;

// Texts point into the attribute tables of the markup: a style lives no longer than its tree.
struct RunStyle {
  const char* face;  // FACE of the nearest enclosing element that has one (a face list), or none
  int32_t size;      // SIZE of the nearest enclosing element that has one, or 0
  uint32_t flags;    // RunFlags
  Colour colour;     // FGCOLOR of the nearest enclosing element that has one (with kRunColoured)
  const char* link;  // HREF of the nearest enclosing A that has one (with kRunLink), or none
};

// The style an element gives the text inside it, on top of the style of the text around the element.
// Tags and attribute names are matched upper-cased; FONT is no special tag, only one that carries
// FACE, SIZE and FGCOLOR.
RunStyle style_inside(const RunStyle& outer, const MarkupNode* element);

// The style of text at `node`, a node of the tree whose first top-level node is `tree`: the elements
// from the node's parent up to the nearest enclosing INTERFACE (inclusive) decide it, so that FACE,
// SIZE and FGCOLOR written on the INTERFACE or a PAGE apply to all the text below. For an element
// node this is the style of the text around it, not inside it. -7005 when the node is not in the tree,
// -7004 when memory runs out.
Status text_style(MarkupNode* tree, const MarkupNode* node, RunStyle* style);

// What a style asks of the text control and of a font for the whole of an input field.
struct RunFormat {
  bool bold;
  bool italic;
  bool underline;   // also forced on for links
  bool fixedPitch;  // teletype and preformatted text
  int32_t twips;    // character height on the device: the size in pixels * 1440 / pixels per inch
  Colour colour;    // the run's own colour, the box's text colour, or for links the box's link colour
  // The matching logical font: minus the size in pixels (0, the system's choice, when no size is set)
  // and weight 700 or 400.
  int32_t fontHeight;
  int32_t fontWeight;
};

// Sizes outside 1 to kLargestRunSize pixels are held to the nearest of them (a SIZE of 0 or below, or
// an absent one, is the default 12).
constexpr int32_t kLargestRunSize = 1024;

RunFormat run_format(const RunStyle& style, int32_t pixelsPerInch, const Colour& textColour,
                     const Colour& linkColour);
