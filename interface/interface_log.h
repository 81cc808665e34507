// What the engine can tell a tool that watches over page files: the parser's repairs of a page file and
// the pictures it could not read. Nobody listens in the order program; the engine then collects
// nothing, and pages are repaired and pictures skipped silently as before. Pure: no system calls.
#pragma once

#include <cstdint>

#include "runtime/status.h"

enum class InterfaceLogKind : int32_t {
  kRepair,             // the parser repaired the page file (bad nesting, stray characters, ...)
  kMissingBackground,  // the INTERFACE's BACKGROUND picture
  kMissingPreload,     // a PRELOAD picture
  kMissingImage,       // a picture an element asked for (a button's or an image's SRC)
};

struct InterfaceLogEntry {
  InterfaceLogKind kind;
  Status code;        // repairs: 0, or -7006 for a repeated attribute; pictures: why it could not be read
  const char* file;   // the page file, as the window names it in its page source
  uint32_t offset;    // in the page text: the offending tag, or the element that names the picture
  uint32_t line;      // 1-based; repairs only (0 for pictures, whose line follows from the offset)
  uint32_t column;    // 1-based; repairs only
  const char* text;   // "Unbalanced or badly nested tag <B>", "Unable to load background 'sky.png'"
};

using InterfaceLog = void (*)(void* context, const InterfaceLogEntry& entry);

// Sets the process-wide log (none: nobody listens). It is called on the interface thread, inside
// whatever engine operation found the problem; it must not open, close or load interface windows.
void set_interface_log(InterfaceLog log, void* context);
bool interface_log_set();
// Hands the entry to the log, if one is set.
void interface_log_report(const InterfaceLogEntry& entry);
