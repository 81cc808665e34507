#include "interface/controls/image_states.h"

#include "interface/attribute_values.h"
#include "interface/controls/listed_children.h"
#include "interface/document_tree.h"
#include "runtime/text.h"

namespace {

// The attribute of the child, else of the element; none when neither has it.
const char* Either(const MarkupNode* child, const MarkupNode* element, const char* name) {
  const char* value = child ? element_attribute(child, name) : nullptr;
  return value ? value : element_attribute(element, name);
}

void SetState(ImageState& state, const char* name, const char* rect, const ImageState* fallback) {
  if (name) TextCopyBounded(state.name, name, sizeof state.name);
  else if (fallback) TextCopy(state.name, fallback->name);
  if (rect) state.source = read_rectangle(rect);
  else if (fallback) state.source = fallback->source;
}

Status AppendSet(MemoryHandle states, const MarkupNode* child, const MarkupNode* element) {
  ImageState set[kStatesPerSet] = {};
  ImageState& normal = set[kDrawNormal];
  SetState(normal, Either(child, element, "SRC"), Either(child, element, "SRC_RECT"), nullptr);
  SetState(set[kDrawDim], Either(child, element, "DIM"), Either(child, element, "DIM_RECT"), &normal);
  SetState(set[kDrawLit], Either(child, element, "LIT"), Either(child, element, "LIT_RECT"), &normal);
  return HandleAppendData(states, set, sizeof set);
}

}  // namespace

Status build_image_states(const MarkupNode* element, MemoryHandle states) {
  Status status = HandleSetSize(states, 0);
  bool anyChild = false;
  if (status == kOk) {
    status = visit_listed_children(element, "IMAGE", [&](const MarkupNode* child) {
      anyChild = true;
      return AppendSet(states, child, element);
    });
  }
  if (status == kOk && !anyChild && element_attribute(element, "SRC")) status = AppendSet(states, nullptr, element);
  if (status != kOk) {
    HandleSetSize(states, 0);
    return kErrMemory;
  }
  return kOk;
}

bool image_state_index(int32_t value, int32_t state, size_t count, size_t* index) {
  const int64_t number = int64_t(value) * kStatesPerSet + state;
  if (value < 0 || state < 0 || state >= kStatesPerSet || number >= int64_t(count)) return false;
  *index = size_t(number);
  return true;
}
