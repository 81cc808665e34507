// Functions of a system library that the program loads when it first needs them. Linked in the ordinary
// way, a library and every library it needs are loaded before the program's first instruction, at every
// start, though most runs never mail, print or open a link: under Wine each costs milliseconds there.
// A library once loaded stays loaded for the process.
#pragma once

#include <windows.h>

// Finds a function of a library its caller has just loaded, each caller once for the process; false
// when the library or the function is missing, with *function then none.
template <typename Function>
bool FindLateFunction(HMODULE library, const char* name, Function* function) {
  *function = library ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name))) : nullptr;
  return *function != nullptr;
}
