#include "interface/variables.h"

namespace {

ValueTable* gProcessVariables = nullptr;

}  // namespace

Status set_variable(ValueTable** windowVariables, const char* name, const char* value) {
  ValueTable*& table = windowVariables ? *windowVariables : gProcessVariables;
  if (!table && !(table = create_table(kTableCaseInsensitive))) return kErrMemory;
  // The new entry goes in first, so that a failure leaves the old value in place; it ends up last in
  // its chain, behind every older entry of the name.
  const Status status = append_value(table, name, value);
  if (status != kOk) return status;
  for (const char* first; (first = get_value(table, name)) && get_value(table, name, first);) remove_value(table, name);
  return kOk;
}

const char* get_variable(const ValueTable* windowVariables, const char* name) {
  const char* value = windowVariables ? get_value(windowVariables, name) : nullptr;
  return value ? value : gProcessVariables ? get_value(gProcessVariables, name) : nullptr;
}

void free_process_variables() {
  free_table(gProcessVariables);
  gProcessVariables = nullptr;
}
