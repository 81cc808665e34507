// Element-class registries: one per window, searched first, and the process-wide one.
#include "interface/controls/element_classes.h"
#include "interface/interface_window.h"
#include "runtime/memory.h"
#include "runtime/text.h"

namespace {

struct Registry {
  ElementClass* classes;
  size_t count;
};

Registry gProcessClasses = {};

ElementHandler Find(const ElementClass* classes, size_t count, const char* upperTag) {
  for (size_t i = 0; i < count; ++i)
    if (TextCompare(classes[i].tag, upperTag) == 0) return classes[i].handler;
  return nullptr;
}

Status Add(ElementClass** classes, size_t* count, const char* tag, ElementHandler handler) {
  const size_t length = TextLength(tag);
  if (length == 0 || length >= kElementTagSize || !handler) return kErrArgument;
  char upper[kElementTagSize];
  TextToUpperCopy(upper, tag, sizeof upper);
  for (size_t i = 0; i < *count; ++i) {
    if (TextCompare((*classes)[i].tag, upper) == 0) {
      (*classes)[i].handler = handler;
      return kOk;
    }
  }
  auto* grown = static_cast<ElementClass*>(BlockNew((*count + 1) * sizeof(ElementClass)));
  if (!grown) return kErrMemory;
  BytesCopy(grown, *classes, *count * sizeof(ElementClass));
  TextCopy(grown[*count].tag, upper);
  grown[*count].handler = handler;
  BlockDispose(*classes);
  *classes = grown;
  ++*count;
  return kOk;
}

}  // namespace

Status add_element_class(InterfaceWindow* window, const char* tag, ElementHandler handler) {
  if (!tag) return kErrArgument;
  return window ? Add(&window->classes, &window->classCount, tag, handler)
                : Add(&gProcessClasses.classes, &gProcessClasses.count, tag, handler);
}

ElementHandler find_element_class(const InterfaceWindow* window, const char* tag) {
  char upper[kElementTagSize];
  if (TextLength(tag) >= sizeof upper) return nullptr;
  TextToUpperCopy(upper, tag, sizeof upper);
  for (; window; window = window->parent)
    if (ElementHandler handler = Find(window->classes, window->classCount, upper)) return handler;
  return Find(gProcessClasses.classes, gProcessClasses.count, upper);
}

Status register_built_in_classes() {
  for (size_t i = 0; i < kBuiltInElementClassCount; ++i) {
    const Status status = add_element_class(nullptr, kBuiltInElementClasses[i].tag, kBuiltInElementClasses[i].handler);
    if (status != kOk) return status;
  }
  return kOk;
}

void free_element_classes(InterfaceWindow* window) {
  Registry registry = window ? Registry{window->classes, window->classCount} : gProcessClasses;
  BlockDispose(registry.classes);
  if (window) {
    window->classes = nullptr;
    window->classCount = 0;
  } else {
    gProcessClasses = {};
  }
}

size_t process_element_class_count() { return gProcessClasses.count; }
const char* process_element_class_tag(size_t index) {
  return index < gProcessClasses.count ? gProcessClasses.classes[index].tag : nullptr;
}
