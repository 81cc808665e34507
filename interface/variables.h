// Interface variables: named markup texts that PARAMETER elements show. There is one process-wide
// table and one table per interface window; both are made on the first assignment.
//
// A window keeps its table in a `ValueTable*` field; the functions take the address of that field
// (none for the process-wide table), so `set_variable(&window->variables, ...)` names a window's own.
#pragma once

#include "runtime/status.h"
#include "runtime/value_table.h"

// Replaces every entry of the name by one with this value. An empty value is a variable all the same.
// -7004 when the table cannot be made, -7002 for a name outside letters, digits and '_'.
Status set_variable(ValueTable** windowVariables, const char* name, const char* value);
// The window's value, else the process-wide one, else none.
const char* get_variable(const ValueTable* windowVariables, const char* name);
// Frees the process-wide table (engine shutdown).
void free_process_variables();
