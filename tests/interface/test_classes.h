// Element classes for testing the engine without the product's controls: they do what a test needs
// to see and nothing more. Registered by tests in a window's own registry (at event 0) or by the test
// host program.
#pragma once

#include <string>
#include <vector>

#include "interface/element_class.h"

// SWATCH: a rectangle in its COLOR (grey without) that takes left clicks and its KEYS shortcut, with
// the link of its LINK attribute when it has one. DISABLED makes it disabled (no clicks, shortcuts
// refused); HITLESS makes its hit test answer outside; NOTIFY makes a press report events 12 and 15
// through notify(). It keeps a title, a text value and a number.
Status swatch_element(const ElementContext& context, int32_t message, intptr_t parameter, void* out);

// FIELD: a native edit control at its RECT (MULTI: several lines) that takes every key but Escape,
// and Return unless it is multi-line; it can take the keyboard focus.
Status field_element(const ElementContext& context, int32_t message, intptr_t parameter, void* out);

// PROBE: answers like SWATCH and writes every message it gets to probe_log() as "NAME message",
// with the rectangle of 65 and the title of 67 ("a 65 10,20,30,40", "a 67 Title").
Status probe_element(const ElementContext& context, int32_t message, intptr_t parameter, void* out);
std::vector<std::string>& probe_log();
