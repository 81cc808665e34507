// The characters an input field admits (its ALLOW attribute), and the filter that typing and pasting
// go through. Pure: no system calls.
#pragma once

#include <cstddef>
#include <cstdint>

// One flag per byte value.
struct AllowedCharacters {
  uint8_t flags[256];
};

// The characters ALLOW can name; any other character in it is ignored, so that a field with ALLOW
// never takes accented letters, control characters or bytes above 127.
constexpr char kAllowableCharacters[] =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz `1234567890~!@#$%^&*()-=_+[]\\{}|;':\",./<>?";

// With no ALLOW (none), every byte value is allowed; with one, exactly the allowable characters it lists.
void read_allowed_characters(const char* allow, AllowedCharacters* allowed);

// Whether a typed character goes into the field. Control characters (below 32, and DEL) are editing
// commands - Backspace, the clipboard keys, line breaks - and always pass; only text is filtered.
bool character_admitted(const AllowedCharacters& allowed, uint8_t c);

// Removes from the text, in place, the characters a field does not admit (a pasted text): text
// characters not allowed, and control characters other than the line breaks and TAB. Returns the new
// length (the text is NUL-terminated again).
size_t filter_pasted_text(const AllowedCharacters& allowed, char* text, size_t length);
