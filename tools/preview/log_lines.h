// The lines of the previewer's log: page events as the page program's callback sees them, places in
// page files, the check of the walk's names, and status codes in words. Pure: no system calls.
#pragma once

#include <cstdint>
#include <string>

#include "runtime/status.h"
#include "tools/preview/walk_check.h"

// `event 9 activated: window 1, page "route", element 2 "send_email"`. Windows are numbered as they
// were made (0 the page window, then the frames); a page without NAME shows as "", an element without
// one as (no NAME); events about no page or element leave them out.
std::string EventLine(int window, int32_t event, const char* page, int32_t index, const char* name);

// `classic.iml(12): Unbalanced or badly nested tag <B>`; without a line, `classic.iml: ...`.
std::string PlaceLine(const std::string& file, uint32_t line, const std::string& text);

// `check enter_name: user_fax is missing (an editable TEXTBOX)`; `check: ...` for the whole file.
std::string FindingLine(const WalkFinding& finding);

// "not found (-7203)", "no INTERFACE with a PAGE in it (-8401)", "status -7000" for the rest.
std::string StatusWords(Status status);
