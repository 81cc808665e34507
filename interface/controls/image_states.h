// The pictures of a picture button or image: sets of three image states (normal, dim, lit), one set
// per value, each naming an image of the page archive and the part of it to show. Pure.
#pragma once

#include <cstddef>
#include <cstdint>

#include "graphics/graphics_types.h"
#include "interface/markup_node.h"
#include "runtime/memory.h"
#include "runtime/status.h"

constexpr size_t kImageNameSize = 256;

struct ImageState {
  char name[kImageNameSize];  // NUL-terminated; at most 255 characters of the attribute
  Rect source;                // within the image; all zero is the whole image
};
static_assert(sizeof(ImageState) == 272);

enum DrawState : int32_t { kDrawNormal = 0, kDrawDim = 1, kDrawLit = 2 };
constexpr int32_t kStatesPerSet = 3;

// Fills `states` (resized; emptied first) from the element's child IMAGE elements (and IMAGEs nested
// in them: a list without closing tags), one set each in document order, their SRC, SRC_RECT, DIM, DIM_RECT, LIT and LIT_RECT falling back to the element's
// own; with no such child, one set from the element's attributes when it has SRC; else none. A dim
// or lit state without a name or rectangle of its own shows the normal one's. -7004 when memory runs
// out (the handle is then empty).
Status build_image_states(const MarkupNode* element, MemoryHandle states);

inline size_t image_state_count(MemoryHandle states) { return HandleGetSize(states) / sizeof(ImageState); }
inline const ImageState* image_states(MemoryHandle states) {
  return reinterpret_cast<const ImageState*>(HandleData(states));
}

// The record that shows `value` in `state`: value * 3 + state, when that is one of `count` records.
bool image_state_index(int32_t value, int32_t state, size_t count, size_t* index);
