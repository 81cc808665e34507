// The built-in element classes (see element_classes.cpp).
#pragma once

#include <cstddef>

#include "interface/element_class.h"

struct BuiltInElementClass {
  const char* tag;
  ElementHandler handler;
};

extern const BuiltInElementClass kBuiltInElementClasses[];
extern const size_t kBuiltInElementClassCount;
