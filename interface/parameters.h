// PARAMETER (or PARAM) elements: the places where a page shows a variable. When a page is built, each
// such element whose NAME is a variable gets the variable's value, read as markup, as its children.
#pragma once

#include <cstddef>
#include <cstdint>

#include "interface/markup_node.h"
#include "runtime/status.h"
#include "runtime/value_table.h"

// The page's parameter elements, in the order they are visited. Lives with the page.
struct ParameterList {
  struct Item {
    MarkupNode* element;
    uint32_t nesting;  // 0 for the page's own, n for one that came from n substituted values
  };
  Item* items = nullptr;
  size_t count = 0;
  size_t capacity = 0;
};

// Values may hold parameters of their own; one nested deeper than this (a variable that shows itself)
// keeps the content written for it.
constexpr uint32_t kParameterNestingLimit = 32;
// A value that shows itself twice (or two that show each other) doubles at every level, which the
// nesting limit alone would let run to billions of elements: a page shows at most this many values,
// and the parameters left over keep the content written for them.
constexpr size_t kParameterSubstitutionLimit = 4096;

// Enters every PARAMETER or PARAM element of the subtree (the node and everything below it).
Status collect_parameters(ParameterList* list, MarkupNode* subtree);
// Substitutes the listed elements, first to last, looking each NAME up in the window's variables and
// then in the process-wide ones; parameters inside an inserted value join the list. A variable that
// is not set leaves the element's own content, as does every parameter after the first
// kParameterSubstitutionLimit values. -7004 when memory runs out.
Status substitute_parameters(ParameterList* list, const ValueTable* windowVariables);
void free_parameter_list(ParameterList* list);
